// Rows that another client wrote straight into the database: a value its field does not hold
// never hides a list. Each such value is shown as stored, or marked, and named by its entry;
// text keeps every code point it was stored with.
#include "department.h"
#include "gridtext.h"
#include "isolateduser.h"
#include "messagerecorder.h"
#include "serverdatabase.h"
#include "typing.h"

#include "dataset/dataset.h"
#include "lists/listselection.h"
#include "lists/ufrmListakezelo.h"
#include "ui/dialog.h"
#include "ui/modal.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const QString managerName = u"frmListakezelo"_s;
// The big list of the odd-row cases: more members than 65,536, so that its rows cross every
// chunk of the dataset's columns and the limit of their shared texts.
constexpr qint64 bigList = 3;
constexpr int bigListMembers = 70000;

QString memberName(int position)
{
    return u"Beteg "_s + QString::number(position + 1);
}

// An odd value for one entry: the column, the SQL expression that writes it, and what the grid
// shows for it.
struct OddCase
{
    QString name;
    QString column;
    QString value;
    QString shown;
    bool checksOff = false; // written with the file's CHECKs switched off, as its client can
};

QList<OddCase> oddCases()
{
    if (serverEngine())
        return {
            {u"listing day before Christ"_s, u"LISTARA_DATUM"_s, u"'0044-03-15 BC'"_s,
             u"0044-03-15 BC"_s},
            {u"listing day past 9999"_s, u"LISTARA_DATUM"_s, u"'10000-01-01'"_s, u"10000-01-01"_s},
            {u"listing day infinity"_s, u"LISTARA_DATUM"_s, u"'infinity'"_s, u"infinity"_s},
        };
    const QString overWidth = QString(50, u'A') + QChar(0) + QString(10, u'B');
    return {
        {u"listing day in year 0"_s, u"LISTARA_DATUM"_s, u"'0000-01-01'"_s, u"0000-01-01"_s},
        {u"name over its width"_s, u"NEV"_s,
         u"CAST(X'"_s + u"41"_s.repeated(50) + u"00"_s + u"42"_s.repeated(10) + u"' AS TEXT)"_s,
         overWidth},
        {u"name as a blob"_s, u"NEV"_s, u"X'4B697373'"_s, u"(bináris adat)"_s},
        {u"name in Latin-1"_s, u"NEV"_s, u"CAST(X'4BF67A' AS TEXT)"_s, u"(bináris adat)"_s},
        {u"listing day not a day"_s, u"LISTARA_DATUM"_s, u"'tegnap'"_s, u"tegnap"_s, true},
    };
}

QString oddMessage(int entries, const QStringList &lines)
{
    return u"A lista %1 bejegyzésében olyan érték áll, amelyet a mezője nem enged meg (más "
           u"program írta így). A lista minden tagja látható, ezek az értékek úgy, ahogy "
           u"tárolták, vagy „(bináris adat)” jelöléssel. A bejegyzések:\n"_s.arg(entries)
           + lines.join(u'\n');
}

} // namespace

class TestStrayRows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void serverRefusesWhatItsColumnsForbid_data();
    void serverRefusesWhatItsColumnsForbid();
    void oddValueNeverHidesTheList_data();
    void oddValueNeverHidesTheList();
    void everyOddValueAtOnce();
    void eventForAnOddEntryWritesOnlyTheEvent();
    void leadingByteOrderMarkIsKept();

private:
    void write(const OddCase &odd, int position);
    void restore(int position);
    // Opens the list manager on the big list; returns the grid's column of the given title.
    QStringList openBigList(const QString &title, MessageRecorder &messages);

    std::unique_ptr<Department> m_big;
    QList<qint64> m_hivSzam; // the big list's entries in the order written
    QHash<qint64, int> m_position;
};

void TestStrayRows::initTestCase()
{
    m_big = std::make_unique<Department>();
    db::Connection &connection = m_big->state.connection();
    connection.execute(
        u"INSERT INTO LISTA (BEAVTIP_KOD, TAJ, NEV, LISTARA_DATUM, SURGOSSEG, ESEM_KOD, "
        u"ESEM_DATUM, INS_DATE)\nWITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
        u"WHERE i < %1)\nSELECT %2, CAST(100000000 + i AS TEXT), 'Beteg ' || i, '2020-01-01', "
        u"'H', 'VAR', '2020-01-01', '2020-01-01' FROM n"_s.arg(bigListMembers)
            .arg(bigList));
    for (const QVariantList &row :
         rows(connection, u"SELECT HIV_SZAM FROM LISTA ORDER BY HIV_SZAM"_s))
        m_hivSzam << row.at(0).toLongLong();
    for (int position = 0; position < m_hivSzam.size(); ++position)
        m_position.insert(m_hivSzam.at(position), position);
    QCOMPARE(m_hivSzam.size(), bigListMembers);
}

void TestStrayRows::cleanup()
{
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestStrayRows::write(const OddCase &odd, int position)
{
    db::Connection &connection = m_big->state.connection();
    if (odd.checksOff)
        connection.execute(u"PRAGMA ignore_check_constraints = 1"_s);
    connection.execute(u"UPDATE LISTA SET %1 = %2 WHERE HIV_SZAM = %3"_s.arg(
        odd.column, odd.value, QString::number(m_hivSzam.at(position))));
    if (odd.checksOff)
        connection.execute(u"PRAGMA ignore_check_constraints = 0"_s);
}

void TestStrayRows::restore(int position)
{
    m_big->state.connection().execute(
        u"UPDATE LISTA SET NEV = '%1', LISTARA_DATUM = '2020-01-01' WHERE HIV_SZAM = %2"_s.arg(
            memberName(position), QString::number(m_hivSzam.at(position))));
}

QStringList TestStrayRows::openBigList(const QString &title, MessageRecorder &messages)
{
    m_big->state.setAktBeavtip(bigList);
    TfrmListakezelo window(m_big->state, &m_big->mainWidget);
    window.readMembers();
    auto *grid = child<QAbstractItemView>(&window, u"dbgLista"_s);
    const QStringList hivSzam = gridColumn(grid, u"Hiv. Szám"_s);
    const QStringList column = gridColumn(grid, title);
    // Every member is there, in the list's own order of entries (the day, then the number).
    [&] {
        QCOMPARE(window.aqListaAdatok().recordCount(), bigListMembers);
        QCOMPARE(hivSzam.size(), bigListMembers);
        QVERIFY(child<QLabel>(&window, u"lblAllapot"_s)
                    ->text()
                    .contains(u"Látható: 70000 / 70000 tag"_s));
        // A reading after an event does not tell the same rows again.
        const int told = messages.count();
        window.readMembers();
        QCOMPARE(messages.count(), told);
    }();
    // Keyed by reference number, so that a moved row is found where it went.
    QStringList byEntry(bigListMembers);
    for (int row = 0; row < hivSzam.size(); ++row)
        byEntry[m_position.value(hivSzam.at(row).toLongLong())] = column.at(row);
    return byEntry;
}

void TestStrayRows::serverRefusesWhatItsColumnsForbid_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::newRow("NUL in a name") << u"NEV = 'A' || chr(0) || 'B'"_s;
    QTest::newRow("name over its width") << u"NEV = repeat('A', 51)"_s;
    QTest::newRow("bytes that are not UTF-8") << u"NEV = convert_from('\\xc1'::bytea, 'UTF8')"_s;
    QTest::newRow("listing day in year 0") << u"LISTARA_DATUM = '0000-01-01'"_s;
    QTest::newRow("list code past 32 bits") << u"BEAVTIP_KOD = 4294967298"_s;
}

void TestStrayRows::serverRefusesWhatItsColumnsForbid()
{
    if (!serverEngine())
        QSKIP("The file's client stores each of these; the other cases show them.");
    QFETCH(QString, assignment);
    const QString refused = dbErrorOf([&] {
        m_big->state.connection().execute(u"UPDATE LISTA SET %1 WHERE HIV_SZAM = %2"_s.arg(
            assignment, QString::number(m_hivSzam.first())));
    });
    QVERIFY(!refused.isEmpty());
}

void TestStrayRows::oddValueNeverHidesTheList_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("position");
    const QList<OddCase> cases = oddCases();
    for (int i = 0; i < cases.size(); ++i) {
        // The first row of a chunk of 4,096 and the first past the 65,536 shared texts.
        QTest::addRow("%s, row 4097", qPrintable(cases.at(i).name)) << i << 4096;
        QTest::addRow("%s, row 65537", qPrintable(cases.at(i).name)) << i << 65536;
    }
}

void TestStrayRows::oddValueNeverHidesTheList()
{
    QFETCH(int, which);
    QFETCH(int, position);
    const OddCase odd = oddCases().at(which);
    write(odd, position);
    MessageRecorder messages;
    const QString title = odd.column == u"NEV" ? u"Név"_s : u"Listárakerülés"_s;
    const QStringList shown = openBigList(title, messages);
    restore(position);

    QCOMPARE(shown.at(position), odd.shown);
    if (odd.column == u"NEV") {
        QCOMPARE(shown.at(position - 1), memberName(position - 1));
        QCOMPARE(shown.at(position + 1), memberName(position + 1));
    }
    QCOMPARE(messages.texts(),
             QStringList{oddMessage(1, {u"Hiv. szám: %1, TAJ: %2 – %3"_s.arg(
                                           QString::number(m_hivSzam.at(position)),
                                           QString::number(100000001 + position), odd.column)})});
}

void TestStrayRows::everyOddValueAtOnce()
{
    // In positions that keep the list's order: a day before all others first, after them last.
    const QList<OddCase> cases = oddCases();
    const QList<int> positions = serverEngine() ? QList<int>{4095, 65536, 69999}
                                                : QList<int>{4095, 4096, 65535, 65536, 69999};
    QStringList lines;
    for (int i = 0; i < cases.size(); ++i) {
        write(cases.at(i), positions.at(i));
        lines << u"Hiv. szám: %1, TAJ: %2 – %3"_s.arg(
            QString::number(m_hivSzam.at(positions.at(i))),
            QString::number(100000001 + positions.at(i)), cases.at(i).column);
    }
    MessageRecorder messages;
    const QStringList names = openBigList(u"Név"_s, messages);
    const QStringList days = openBigList(u"Listárakerülés"_s, messages);
    for (const int position : positions)
        restore(position);

    for (int i = 0; i < cases.size(); ++i) {
        const QStringList &column = cases.at(i).column == u"NEV" ? names : days;
        QCOMPARE(column.at(positions.at(i)), cases.at(i).shown);
    }
    QCOMPARE(messages.texts(), (QStringList{oddMessage(int(cases.size()), lines),
                                            oddMessage(int(cases.size()), lines)}));
}

void TestStrayRows::eventForAnOddEntryWritesOnlyTheEvent()
{
    Department dep;
    const qint64 hiv = dep.entry(1, u"123456788"_s);
    const QString odd = serverEngine() ? u"LISTARA_DATUM = 'infinity'"_s
                                       : u"NEV = X'4B697373', LISTARA_DATUM = '0000-01-01'"_s;
    dep.state.connection().execute(
        u"UPDATE LISTA SET %1 WHERE HIV_SZAM = %2"_s.arg(odd, QString::number(hiv)));
    const auto stored = [&dep] {
        return rows(dep.state.connection(), u"SELECT NEV, LISTARA_DATUM FROM LISTA"_s);
    };
    const QList<QVariantList> before = stored();
    dep.state.setAktBeavtip(1);
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(u"frmAdatok"_s, [](QDialog *d) {
        auto *event = child<QComboBox>(d, u"cbEsemenynev"_s);
        event->setCurrentIndex(event->findText(u"Beavatkozás megtörtént"_s));
        QTest::mouseClick(child<QPushButton>(d, u"btnOK"_s), Qt::LeftButton);
    });
    driver.on(managerName, [](QDialog *d) {
        QTest::mouseClick(child<QPushButton>(d, u"bbEsem"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(driver.shown(), (QStringList{managerName, u"frmAdatok"_s}));
    const QString fields = serverEngine() ? u"LISTARA_DATUM"_s : u"NEV, LISTARA_DATUM"_s;
    QCOMPARE(messages.texts(),
             QStringList{oddMessage(
                 1, {u"Hiv. szám: %1, TAJ: 123456788 – %2"_s.arg(QString::number(hiv), fields)})});
    QVERIFY(stored() == before);
    QCOMPARE(dep.state.connection().scalar(u"SELECT ESEM_KOD FROM LISTA"_s).toString(), u"BEA"_s);
}

void TestStrayRows::leadingByteOrderMarkIsKept()
{
    // A name that begins with U+FEFF, twice: what the database holds, not a byte-order mark.
    IsolatedUser user;
    Department dep;
    const QString name = u"\uFEFF\uFEFFKiss Ödön"_s;
    dep.entry(1, u"123456788"_s, QDate(2026, 3, 7), u"VAR"_s, name);
    dep.state.setAktBeavtip(1);
    QTemporaryDir out;
    const QString path = out.filePath(u"lista.csv"_s);
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(u"dlgMentes"_s, [path](QDialog *d) {
        qobject_cast<QFileDialog *>(d)->selectFile(path);
        d->accept();
    });
    QString inDialog;
    driver.on(u"frmAdatok"_s, [&inDialog](QDialog *d) {
        inDialog = child<QLineEdit>(d, u"eNev"_s)->text();
        QTest::mouseClick(child<QPushButton>(d, u"btnCancel"_s), Qt::LeftButton);
    });
    QStringList inGrid;
    driver.on(managerName, [&inGrid](QDialog *d) {
        inGrid = gridColumn(child<QAbstractItemView>(d, u"dbgLista"_s), u"Név"_s);
        QTest::mouseClick(child<QPushButton>(d, u"btnCsv"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, u"bbEsem"_s), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, u"bbOK"_s), Qt::LeftButton);
    });
    lists::OpenListManager(dep.state);
    QCOMPARE(inGrid, QStringList{name});
    QCOMPARE(inDialog, name);
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY2(csv.readAll().contains(";" + name.toUtf8() + ";"), qPrintable(messages.last()));
}

QTEST_MAIN(TestStrayRows)
#include "tst_strayrows.moc"
