// What leaves the list manager: the members shown as a CSV file and as a PDF file, read back
// by other programs, the print preview, and the history of one entry.
#include "department.h"
#include "messagerecorder.h"
#include "typing.h"

#include "db/clock.h"
#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

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
    void init() { db::setFixedNow(QDateTime(today, QTime(9, 30))); }
    void cleanup()
    {
        db::setFixedNow({});
        QCOMPARE(ui::takeForcedCloses(), 0);
    }
    void csvHoldsTheShownRowsForASpreadsheet();
    void csvIntoAFolderThatCannotBeWrittenReportsIt();
    void pdfHoldsTheShownRowsWithPageNumbers_data();
    void pdfHoldsTheShownRowsWithPageNumbers();
    void printPreviewShowsThePages();
    void historyShowsEventChangesNewestFirst();
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
    QCOMPARE(messages.texts(), QStringList{u"A fájl elkészült: "_s + path});

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
    QCOMPARE(messages.texts(), QStringList{u"A fájl elkészült: "_s + path});

    const QString text = run(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size() > 1, severalPages);
    for (int p = 0; p < pages.size(); ++p) {
        const QString &page = pages.at(p);
        QVERIFY2(page.contains(u"Belgyógyászat – Csípőprotézis beültetése"_s), qPrintable(page));
        QVERIFY(page.contains(u"Dátum: "_s + shortDate(today)));
        QVERIFY(page.contains(u"Várakozás (nap)"_s));
        QVERIFY2(page.contains(u"%1. oldal / %2"_s.arg(p + 1).arg(pages.size())), qPrintable(page));
    }
    // The shown rows in the shown order, each with its waiting days; the hidden one missing.
    const QString &first = pages.constFirst();
    const qsizetype ocsi = first.indexOf(u"Kovács \"Öcsi\"; Béla"_s);
    const qsizetype eva = text.indexOf(u"Kovács Éva"_s);
    QVERIFY2(ocsi >= 0 && eva > ocsi, qPrintable(text));
    QVERIFY(first.mid(ocsi).section(u'\n', 0, 0).trimmed().endsWith(u" 1"_s));
    QVERIFY(text.mid(eva).section(u'\n', 0, 0).trimmed().endsWith(u" 68"_s));
    QVERIFY(!text.contains(u"Nagy Ödön"_s));
    QCOMPARE(text.count(u"Kovács Zoltán"_s), extraMembers);
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
        press(d, u"bbEsem"_s);
        press(d, u"btnNaplo"_s);
        press(d, u"bbOK"_s);
    });
    lists::OpenListManager(dep.state);
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(member, u"Hiv. Szám: %1   TAJ: 123456788   Név: Kiss Ödön"_s.arg(hivSzam));
    const QString at930 = shortDate(today) + u" 09:30:00"_s;
    const QString at1045 = shortDate(today) + u" 10:45:12"_s;
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
