// A report that meets a value its file cannot carry names the entry a clerk can find (its
// reference number and TAJ) and the field, and leaves the earlier report of the day as it was.
// The values are written as another client of the database would write them.
#include "serverdatabase.h"
#include "tempdatabase.h"

#include "db/connection.h"
#include "report/dailyreport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const QDate reportDay(2026, 3, 10);

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestReportRefusal : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusalNamesTheEntry_data();
    void refusalNamesTheEntry();
    void leadingByteOrderMarkReachesTheReport();
};

void TestReportRefusal::refusalNamesTheEntry_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("tail");
    const bool server = serverEngine();
    QTest::newRow("urgency an emoji") << u"SURGOSSEG = '\U0001F600'"_s << u"SURGOSSEG"_s
                                      << u"jében 2 karakter áll, de legfeljebb 1 lehet."_s;
    QTest::newRow("urgency U+0001")
        << (server ? u"SURGOSSEG = chr(1)"_s : u"SURGOSSEG = char(1)"_s) << u"SURGOSSEG"_s
        << u"je XML-állományban nem tárolható vezérlőkaraktert tartalmaz (U+0001)."_s;
    QTest::newRow("listing day in year 99")
        << u"LISTARA_DATUM = '0099-12-31'"_s << u"LISTARA_DATUM"_s
        << u"jében álló dátum éve (99) nem esik 100 és 9999 közé."_s;
    // The server's columns hold neither of these.
    if (server)
        return;
    QTest::newRow("urgency a Latin-1 byte")
        << u"SURGOSSEG = CAST(X'E1' AS TEXT)"_s << u"SURGOSSEG"_s
        << u"je XML-állományban nem tárolható karaktert tartalmaz."_s;
    QTest::newRow("list code past 32 bits")
        << u"BEAVTIP_KOD = 4294967298"_s << u"BEAVTIP_KOD"_s
        << u"jében álló szám (4294967298) nem fér el 32 biten."_s;
}

void TestReportRefusal::refusalNamesTheEntry()
{
    QFETCH(QString, assignment);
    QFETCH(QString, field);
    QFETCH(QString, tail);
    TempProgramDir dir(db::schema::Contents::WithSampleLists);
    db::Connection connection;
    dir.connect(connection);
    insertDepartment(connection, u"1234"_s, u"123456789"_s, u"F"_s, u"Sebészet"_s, u"titok"_s);
    for (int i = 0; i < 5; ++i)
        insertEntry(connection, 1 + i % 2, u"%1"_s.arg(111111110 + i), u"Beteg"_s,
                    QDate(2026, 1, 1 + i));
    const qint64 odd
        = insertEntry(connection, 2, u"123456788"_s, u"Kiss Ödön"_s, QDate(2026, 1, 3));

    const report::DailyReport first = report::makeDailyReport(connection, dir.path(), reportDay);
    QCOMPARE(first.outcome, report::DailyReport::Outcome::Written);
    const QByteArray earlier = contents(first.path);
    QVERIFY(!earlier.isEmpty());

    connection.execute(
        u"UPDATE LISTA SET %1 WHERE HIV_SZAM = %2"_s.arg(assignment, QString::number(odd)));
    const report::DailyReport refused = report::makeDailyReport(connection, dir.path(), reportDay);
    QCOMPARE(refused.outcome, report::DailyReport::Outcome::Failed);
    QCOMPARE(refused.message,
             u"Hiba a jelentés elkészítése közben, talán a "_s
                 + QDir::toNativeSeparators(dir.reportDirPath())
                 + u" könyvtár nem létezik, vagy nem írható\n\r"_s
                 + u"A(z) %1 hivatkozási számú bejegyzés (TAJ: 123456788) %2 mező%3"_s.arg(
                     QString::number(odd), field, tail));
    QCOMPARE(contents(first.path), earlier);
    QCOMPARE(QDir(dir.reportDirPath()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(first.path).fileName()});
}

void TestReportRefusal::leadingByteOrderMarkReachesTheReport()
{
    TempProgramDir dir(db::schema::Contents::WithSampleLists);
    db::Connection connection;
    dir.connect(connection);
    // The institute's code begins with U+FEFF: the report carries it as the database holds it.
    insertDepartment(connection, u"\uFEFF123"_s, u"123456789"_s, u"F"_s, u"Sebészet"_s, u"titok"_s);
    insertEntry(connection, 1, u"123456788"_s, u"Kiss Ödön"_s, QDate(2026, 1, 3));
    const report::DailyReport written = report::makeDailyReport(connection, dir.path(), reportDay);
    QCOMPARE(written.outcome, report::DailyReport::Outcome::Written);
    QVERIFY(contents(written.path)
                .contains("INTKOD='\xEF\xBB\xBF"
                          "123'"));
}

QTEST_MAIN(TestReportRefusal)
#include "tst_reportrefusal.moc"
