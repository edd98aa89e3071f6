// What leaves the list manager: the members shown as a CSV file and as a PDF file, read back
// by other programs, the save dialog's folder, the print preview, and the history of one entry.
#include "department.h"
#include "isolateduser.h"
#include "messagerecorder.h"
#include "pdfwords.h"
#include "serverdatabase.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "ui/filedialog.h"
#include "ui/messagetexts.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {
const QDate today(2026, 3, 10);

QString shortDate(QDate day)
{
    return QLocale().toString(day, QLocale::ShortFormat);
}

void press(QWidget *w, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

// Answers the save dialog with the given path.
void answerSaveDialog(ModalDriver &driver, const QString &path)
{
    driver.on(u"dlgMentes"_s, [path](QDialog *d) {
        auto *dialog = qobject_cast<QFileDialog *>(d);
        QVERIFY(dialog);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

// Output and exit status of a helper program; a missing program fails the test.
QString run(const QString &program, const QStringList &arguments)
{
    const QString path
        = QFileInfo(program).isAbsolute() ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return u"<%1 is not installed>"_s.arg(program);
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"<%1 failed: %2>"_s.arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Members of list 1 in the list's own order: Kovács Éva, Nagy, "Kovács ... Béla".
void addMembers(Department &dep)
{
    dep.entry(1, u"123456788"_s, QDate(2026, 1, 1), u"VAR"_s, u"Kovács Éva"_s, u"A"_s);
    dep.entry(1, u"012345678"_s, QDate(2026, 2, 1), u"HAL"_s, u"Nagy Ödön"_s);
    dep.entry(1, u"987654321"_s, QDate(2026, 3, 9), u"VAR"_s, u"Kovács \"Öcsi\"; Béla"_s);
    dep.state.setAktBeavtip(1);
}

// The manager narrowed to the Kovács members and sorted by listing day, the newest first.
void narrowAndSort(QDialog *d)
{
    typeText(child<QLineEdit>(d, u"eKereses"_s), u"kovacs"_s);
    QHeaderView *header = child<QTableView>(d, u"dbgLista"_s)->horizontalHeader();
    const int listara = 3;
    const QPoint at(header->sectionViewportPosition(listara) + header->sectionSize(listara) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}
} // namespace

class TestListakiadas : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_user.emplace();
        db::setFixedNow(QDateTime(today, QTime(9, 30)));
    }
    void cleanup()
    {
        db::setFixedNow({});
        m_user.reset();
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void csvHoldsTheShownRowsForASpreadsheet();
    void saveDialogStartsInAFolderThatExists_data();
    void saveDialogStartsInAFolderThatExists();
    void suggestedNamesHoldOnlyWhatAFileNameCan_data();
    void suggestedNamesHoldOnlyWhatAFileNameCan();
    void csvIntoAFolderThatCannotBeWrittenReportsIt();
    void pdfHoldsTheShownRowsWithPageNumbers_data();
    void pdfHoldsTheShownRowsWithPageNumbers();
    void printPreviewShowsThePages();
    void historyShowsEventChangesNewestFirst();

private:
    std::optional<IsolatedUser> m_user;
};

void TestListakiadas::csvHoldsTheShownRowsForASpreadsheet()
{
    Department dep;
    addMembers(dep);
    QTemporaryDir out;
    const QString path = out.filePath(u"lista.csv"_s);
    MessageRecorder messages;
    ModalDriver driver;
    answerSaveDialog(driver, path);
    driver.on(u"frmListakezelo"_s, [](QDialog *d) {
        narrowAndSort(d);
        press(d, u"btnCsv"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(messages.texts(), QStringList{ui::message::fileReady.toString() + path});

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(3) == "\xEF\xBB\xBF");
    // Read as a spreadsheet would: Python's csv module with ";" between fields.
    const QString json = run(QString::fromUtf8(PYTHON3_EXECUTABLE),
                             {u"-c"_s,
                              u"import csv, json, sys\n"
                              u"with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                              u"    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"_s,
                              path});
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    QStringList lines;
    for (const auto &row : rows)
        lines << row.toVariant().toStringList().join(u'|');
    QCOMPARE(lines,
             (QStringList{
                 u"Csak a keresésnek („kovacs”) megfelelő 2 tag a lista 3 tagja közül."_s,
                 u"Hiv. Szám|TAJ|Név|Listárakerülés|Sürgős|Esemény|Esemény dátum|"
                 u"Várakozás (nap)"_s,
                 u"3|987654321|Kovács \"Öcsi\"; Béla|%1|H|Várakozás|%1|1"_s.arg(
                     shortDate(QDate(2026, 3, 9))),
                 u"1|123456788|Kovács Éva|%1|A|Várakozás|%1|68"_s.arg(shortDate(QDate(2026, 1, 1))),
             }));
    // The numbers stand bare, so the spreadsheet takes them as numbers.
    QVERIFY(QString::fromUtf8(file.readAll()).contains(u"\r\n1;123456788;"_s));
}

void TestListakiadas::csvIntoAFolderThatCannotBeWrittenReportsIt()
{
    Department dep;
    addMembers(dep);
    // A path under a file: no folder there, whoever runs the test.
    QTemporaryDir out;
    QFile blocker(out.filePath(u"nem-mappa"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = out.filePath(u"nem-mappa/lista.csv"_s);
    MessageRecorder messages;
    ModalDriver driver;
    answerSaveDialog(driver, path);
    bool stillOpen = false;
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        press(d, u"btnCsv"_s);
        stillOpen = d->isVisible();
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QVERIFY(stillOpen);
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.messages().constFirst().kind == ui::MessageKind::Error);
    QVERIFY2(messages.last().startsWith(u"A(z) "_s) && messages.last().contains(u"nem írható"_s),
             qPrintable(messages.last()));
    QVERIFY(!QFile::exists(path));
}

void TestListakiadas::pdfHoldsTheShownRowsWithPageNumbers_data()
{
    QTest::addColumn<int>("extraMembers"); // Kovács members beyond the three, for more pages
    QTest::addColumn<bool>("severalPages");
    QTest::newRow("one page") << 0 << false;
    QTest::newRow("several pages") << 120 << true;
}

void TestListakiadas::pdfHoldsTheShownRowsWithPageNumbers()
{
    QFETCH(int, extraMembers);
    QFETCH(bool, severalPages);
    Department dep;
    addMembers(dep);
    for (int i = 0; i < extraMembers; ++i)
        dep.entry(1, u"5%1"_s.arg(i, 8, 10, QLatin1Char('0')), QDate(2026, 3, 1), u"VAR"_s,
                  u"Kovács Zoltán %1"_s.arg(i, 3, 10, QLatin1Char('0')));
    QTemporaryDir out;
    const QString path = out.filePath(u"lista.pdf"_s);
    MessageRecorder messages;
    ModalDriver driver;
    answerSaveDialog(driver, path);
    driver.on(u"frmListakezelo"_s, [](QDialog *d) {
        narrowAndSort(d);
        press(d, u"btnPdf"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(messages.texts(), QStringList{ui::message::fileReady.toString() + path});

    QString error;
    const QList<PdfPage> pages = readPdfWords(path, &error);
    QVERIFY2(!pages.isEmpty(), qPrintable(error));
    QCOMPARE(pages.size() > 1, severalPages);
    const QString note = u"Csak a keresésnek („kovacs”) megfelelő %1 tag a lista %2 tagja közül."_s
                             .arg(2 + extraMembers)
                             .arg(3 + extraMembers);
    QStringList lines;
    for (int p = 0; p < pages.size(); ++p) {
        const PdfPage &page = pages.at(p);
        QCOMPARE(page.wordsWithin(10 * 72 / 25.4), QStringList());
        for (const QString &text :
             {u"Belgyógyászat – Csípőprotézis beültetése"_s,
              u"Intézeti kód: 1234   Finanszírozási kód: 123456789"_s,
              u"Dátum: "_s + shortDate(today), note,
              u"Hiv. Szám TAJ Név Listárakerülés Sürgős Esemény Esemény dátum Várakozás (nap)"_s,
              u"%1. oldal / %2"_s.arg(p + 1).arg(pages.size())})
            QVERIFY2(page.hasWholeText(text), qPrintable(text));
        for (const auto &line : page.lines()) {
            QStringList words;
            for (const PdfWord &word : line)
                words << word.text;
            lines << words.join(u' ');
        }
    }
    // The shown rows in the shown order, whole, each with its waiting days; the hidden one
    // missing.
    const QString ocsi = u"3 987654321 Kovács \"Öcsi\"; Béla %1 H Várakozás %1 1"_s.arg(
        shortDate(QDate(2026, 3, 9)));
    const QString eva
        = u"1 123456788 Kovács Éva %1 A Várakozás %1 68"_s.arg(shortDate(QDate(2026, 1, 1)));
    QVERIFY2(lines.indexOf(ocsi) >= 0 && lines.indexOf(eva) > lines.indexOf(ocsi),
             qPrintable(lines.join(u'\n')));
    QVERIFY(!lines.join(u' ').contains(u"Nagy Ödön"_s));
    QCOMPARE(lines.join(u' ').count(u"Kovács Zoltán"_s), extraMembers);
}

void TestListakiadas::saveDialogStartsInAFolderThatExists_data()
{
    QTest::addColumn<bool>("documents");
    QTest::addColumn<QString>("remembered"); // "" none, "kept" an existing one, "gone" removed
    QTest::addColumn<QString>("expected");   // "Documents", "home" or "kept"
    QTest::newRow("a new account without Documents") << false << QString() << u"home"_s;
    QTest::newRow("Documents when there is one") << true << QString() << u"Documents"_s;
    QTest::newRow("the folder chosen last") << true << u"kept"_s << u"kept"_s;
    QTest::newRow("the folder chosen last, since removed") << false << u"gone"_s << u"home"_s;
}

void TestListakiadas::saveDialogStartsInAFolderThatExists()
{
    QFETCH(bool, documents);
    QFETCH(QString, remembered);
    QFETCH(QString, expected);
    Department dep;
    addMembers(dep);
    QMap<QString, QString> folders{{u"home"_s, m_user->home()}};
    if (documents)
        folders[u"Documents"_s] = m_user->makeDocuments();
    MessageRecorder messages;
    ModalDriver driver;
    QStringList offered;
    QString choose;
    driver.on(u"dlgMentes"_s, [&](QDialog *d) {
        auto *dialog = qobject_cast<QFileDialog *>(d);
        offered << dialog->directory().absolutePath() + u'|'
                       + QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->selectFile(choose);
        static_cast<QDialog *>(dialog)->accept();
    });
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        if (!remembered.isEmpty()) {
            QDir(m_user->home()).mkpath(u"Listak"_s);
            folders[u"kept"_s] = QDir(m_user->home()).filePath(u"Listak"_s);
            choose = folders[u"kept"_s] + u"/elso.csv"_s;
            press(d, u"btnCsv"_s);
            if (remembered == u"gone")
                QVERIFY(QDir(folders[u"kept"_s]).removeRecursively());
        }
        choose = m_user->home() + u"/masodik.csv"_s;
        press(d, u"btnCsv"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(messages.count(), remembered.isEmpty() ? 1 : 2);
    QCOMPARE(offered.constLast(), folders.value(expected) + u"|Lista_1_20260310.csv"_s);
}

void TestListakiadas::suggestedNamesHoldOnlyWhatAFileNameCan_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain") << u"Lista_1_20260310.csv"_s << u"Lista_1_20260310.csv"_s;
    QTest::newRow("separators and wildcards") << u"Sebészet/Traumatológia: \"A\"*?<>|\\.csv"_s
                                              << u"Sebészet_Traumatológia_ _A_______.csv"_s;
    QTest::newRow("control characters") << u"a\tb\nc.pdf"_s << u"a_b_c.pdf"_s;
    QTest::newRow("dots and blanks at the end") << u"Lista. . "_s << u"Lista"_s;
    QTest::newRow("nothing left") << u" ."_s << u"_"_s;
}

void TestListakiadas::suggestedNamesHoldOnlyWhatAFileNameCan()
{
    QFETCH(QString, name);
    QFETCH(QString, safe);
    QCOMPARE(ui::safeFileName(name), safe);
}

void TestListakiadas::printPreviewShowsThePages()
{
    Department dep;
    addMembers(dep);
    MessageRecorder messages;
    ModalDriver driver;
    int pages = -1;
    driver.on(u"frmNyomtatasiKep"_s, [&](QDialog *d) {
        QVERIFY(qobject_cast<QPrintPreviewDialog *>(d));
        auto *preview = d->findChild<QPrintPreviewWidget *>();
        QVERIFY(preview);
        preview->updatePreview();
        pages = preview->pageCount();
        d->reject();
    });
    driver.on(u"frmListakezelo"_s, [](QDialog *d) {
        press(d, u"btnNyomtat"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(pages, 1);
    QVERIFY(messages.texts().isEmpty());
}

void TestListakiadas::historyShowsEventChangesNewestFirst()
{
    Department dep;
    dep.entry(1, u"111111110"_s, QDate(2026, 1, 5), u"VAR"_s, u"Első Ágnes"_s);
    const qint64 hivSzam = dep.entry(1, u"123456788"_s, QDate(2026, 2, 1));
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    // First the event and its date change, an hour later the event alone goes back.
    QStringList events{u"Halasztva a beteg kérésére"_s, u"Várakozás"_s};
    driver.on(u"frmAdatok"_s, [&](QDialog *d) {
        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        event->setCurrentIndex(event->findText(events.takeFirst()));
        press(d, u"btnOK"_s);
    });
    QStringList shown;
    QString member;
    driver.on(u"frmNaplo"_s, [&](QDialog *d) {
        const QAbstractItemModel *model = child<QTableView>(d, u"dbgNaplo"_s)->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            shown << cells.join(u'|');
        }
        member = d->findChild<QWidget *>(u"lblTag"_s)->property("text").toString();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    driver.on(u"frmListakezelo"_s, [&](QDialog *d) {
        // The search keeps the entry current through both re-reads.
        typeText(child<QLineEdit>(d, u"eKereses"_s), u"456"_s);
        press(d, u"bbEsem"_s);
        db::setFixedNow(QDateTime(today, QTime(10, 45, 12)));
        // The server stamps its log by its own clock, to the second.
        if (serverEngine())
            QTest::qWait(1100);
        press(d, u"bbEsem"_s);
        press(d, u"btnNaplo"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(member, u"Hiv. Szám: %1   TAJ: 123456788   Név: Kiss Ödön"_s.arg(hivSzam));
    const QString at930 = serverEngine() ? u"<ma>"_s : shortDate(today) + u" 09:30:00"_s;
    const QString at1045 = serverEngine() ? u"<ma>"_s : shortDate(today) + u" 10:45:12"_s;
    if (serverEngine()) {
        for (QString &row : shown)
            row = u"<ma>|"_s + row.section(u'|', 1);
    }
    QCOMPARE(
        shown,
        (QStringList{
            at1045 + u"|Esemény|Halasztva a beteg kérésére (HAL)|Várakozás (VAR)"_s,
            at930 + u"|Esemény dátum|%1|%2"_s.arg(shortDate(QDate(2026, 2, 1)), shortDate(today)),
            at930 + u"|Esemény|Várakozás (VAR)|Halasztva a beteg kérésére (HAL)"_s,
        }));
}

QTEST_MAIN(TestListakiadas)
#include "tst_listakiadas.moc"
