#include "report/reportfile.h"

#include "db/error.h"

#include <QTest>

class TestReportFile : public QObject
{
    Q_OBJECT
private slots:
    void padsOnTheLeftWithoutCutting_data();
    void padsOnTheLeftWithoutCutting();
    void writesTheDateAsEightDigits_data();
    void writesTheDateAsEightDigits();
    void namesTheFileAfterTheFinancingCodeAndDay();
    void refusesCodesThatCannotNameAFile_data();
    void refusesCodesThatCannotNameAFile();
};

void TestReportFile::padsOnTheLeftWithoutCutting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("minLength");
    QTest::addColumn<QChar>("pad");
    QTest::addColumn<QString>("expected");
    const QChar zero = QLatin1Char('0');
    QTest::newRow("one digit to two") << QStringLiteral("7") << 2 << zero << QStringLiteral("07");
    QTest::newRow("already long enough")
        << QStringLiteral("2006") << 4 << zero << QStringLiteral("2006");
    QTest::newRow("longer is never cut")
        << QStringLiteral("12345") << 4 << zero << QStringLiteral("12345");
    QTest::newRow("empty text") << QString() << 2 << zero << QStringLiteral("00");
    QTest::newRow("length 0") << QStringLiteral("x") << 0 << zero << QStringLiteral("x");
    QTest::newRow("Hungarian pad, counted in characters")
        << QStringLiteral("ő") << 3 << QChar(u'ű') << QStringLiteral("űűő");
    QTest::newRow("the largest length")
        << QStringLiteral("1") << 255 << zero << QString(254, zero) + QLatin1Char('1');
}

void TestReportFile::padsOnTheLeftWithoutCutting()
{
    QFETCH(QString, text);
    QFETCH(int, minLength);
    QFETCH(QChar, pad);
    QFETCH(QString, expected);
    QCOMPARE(report::PadLeft(text, quint8(minLength), pad), expected);
}

void TestReportFile::writesTheDateAsEightDigits_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month and day get a leading zero")
        << QDate(2006, 3, 7) << QStringLiteral("20060307");
    QTest::newRow("two-digit month and day") << QDate(2006, 12, 31) << QStringLiteral("20061231");
    QTest::newRow("leap day") << QDate(2024, 2, 29) << QStringLiteral("20240229");
    QTest::newRow("three-digit year") << QDate(999, 1, 2) << QStringLiteral("09990102");
    QTest::newRow("year 1") << QDate(1, 10, 1) << QStringLiteral("00011001");
}

void TestReportFile::writesTheDateAsEightDigits()
{
    QFETCH(QDate, date);
    QFETCH(QString, expected);
    QCOMPARE(report::DateToYYYYMMDD(date), expected);
}

void TestReportFile::namesTheFileAfterTheFinancingCodeAndDay()
{
    const QString dir = report::reportDirectory(QStringLiteral("/prog/"));
    QCOMPARE(dir, QStringLiteral("/prog/Jelentesek/"));
    QCOMPARE(report::reportDirectory(QStringLiteral("/prog")), dir);
    QCOMPARE(report::reportFilePath(dir, QStringLiteral("123456789"), QDate(2006, 3, 7)),
             QStringLiteral("/prog/Jelentesek/123456789_20060307.xml"));
    // Letters and inner blanks are odd in a financing code but harmless in a name.
    QCOMPARE(report::reportFilePath(dir, QStringLiteral("Ő 12"), QDate(2006, 3, 7)),
             QStringLiteral("/prog/Jelentesek/Ő 12_20060307.xml"));
}

void TestReportFile::refusesCodesThatCannotNameAFile_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reason");
    const QString sign = QStringLiteral("olyan jel áll („%1”)");
    const QString ending = QStringLiteral("ponttal vagy szóközzel végződik");
    QTest::newRow("empty") << QString() << QStringLiteral("kódja üres");
    QTest::newRow("climbs out of the folder") << QStringLiteral("../../x") << sign.arg(QChar(u'/'));
    QTest::newRow("backslash") << QStringLiteral("..\\x") << sign.arg(QChar(u'\\'));
    QTest::newRow("drive or stream") << QStringLiteral("C:x") << sign.arg(QChar(u':'));
    QTest::newRow("wildcard") << QStringLiteral("12*") << sign.arg(QChar(u'*'));
    QTest::newRow("question mark") << QStringLiteral("12?") << sign.arg(QChar(u'?'));
    QTest::newRow("double quote") << QStringLiteral("12\"") << sign.arg(QChar(u'"'));
    QTest::newRow("angle bracket") << QStringLiteral("<12") << sign.arg(QChar(u'<'));
    QTest::newRow("pipe") << QStringLiteral("1|2") << sign.arg(QChar(u'|'));
    QTest::newRow("line feed") << QStringLiteral("12\n3") << QStringLiteral("vezérlőkarakter");
    QTest::newRow("delete") << QStringLiteral("12\x7f") << QStringLiteral("vezérlőkarakter");
    QTest::newRow("ends with a dot") << QStringLiteral("123.") << ending;
    QTest::newRow("ends with a blank") << QStringLiteral("123 ") << ending;
    QTest::newRow("only a dot") << QStringLiteral(".") << ending;
}

void TestReportFile::refusesCodesThatCannotNameAFile()
{
    QFETCH(QString, code);
    QFETCH(QString, reason);
    const QString problem = report::financingCodeProblem(code);
    QVERIFY2(problem.contains(reason), qPrintable(problem));
    try {
        report::reportFilePath(QStringLiteral("/prog/Jelentesek/"), code, QDate(2006, 3, 7));
        QFAIL("the code was accepted");
    } catch (const db::Error &e) {
        QCOMPARE(e.message(), problem);
    }
}

QTEST_GUILESS_MAIN(TestReportFile)
#include "tst_reportfile.moc"
