#include "app/reportaction.h"

#include "db/clock.h"
#include "db/error.h"
#include "report/reportfile.h"
#include "ui/mainstate.h"

#include "support/messagerecorder.h"
#include "support/tempdatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

const QString financingCode = QStringLiteral("123456789");

// A program folder with a registered department, its row open as at start-up.
struct Program
{
    explicit Program(bool withReportDir = true, const QString &finkod = financingCode)
        : dir(true, withReportDir)
        , state(nullptr, dir.path())
    {
        state.connect();
        state.grantAccess();
        testsupport::insertDepartment(state.connection(), QStringLiteral("1234"), finkod,
                                      QStringLiteral("F"), QStringLiteral("Sebészet"),
                                      QStringLiteral("titok"));
        state.atOsztaly().open();
    }

    qint64 addEntry(const QString &event = QStringLiteral("VAR"))
    {
        return testsupport::insertEntry(state.connection(), 1, QStringLiteral("111111110"),
                                        QStringLiteral("Kőszegi Ödön"), QDate(2006, 1, 5),
                                        QStringLiteral("H"), event);
    }

    QString reportPath(const QString &day = QStringLiteral("20060307")) const
    {
        return dir.reportDirPath() + financingCode + QLatin1Char('_') + day
               + QStringLiteral(".xml");
    }

    QStringList reportFolder() const
    {
        return QDir(dir.reportDirPath())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QString failure(const QString &reason) const
    {
        return QStringLiteral("Hiba a jelentés elkészítése közben, talán a ")
               + QDir::toNativeSeparators(dir.reportDirPath())
               + QStringLiteral(" könyvtár nem létezik, vagy nem írható\n\r") + reason;
    }

    QString success(const QString &path) const
    {
        return QStringLiteral("A jelentés elkészült. Az elkészített állomány: \n\r")
               + QDir::toNativeSeparators(path);
    }

    void makeReport()
    {
        app::makeReport(state);
        QVERIFY(!state.atJelentes().isOpen());
    }

    testsupport::TempProgramDir dir;
    ui::MainState state;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestReportAction : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void noListMemberTouchesNoFile();
    void writesTheDaysFileNamedByTheDepartmentRow();
    void sameDayReplacesAndAnotherDayAdds();
    void missingFolderFailsUntilItExists();
    void failedSaveKeepsWhatWasThere();
    void refusesFinancingCodesThatCannotNameAFile_data();
    void refusesFinancingCodesThatCannotNameAFile();
    void unreadableQueryEscapesToTheCaller();
};

void TestReportAction::init()
{
    db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(23, 59, 30)));
}

void TestReportAction::cleanup()
{
    db::setFixedNow({});
}

void TestReportAction::noListMemberTouchesNoFile()
{
    Program program;
    program.addEntry(QStringLiteral("BEA")); // left the list: not reported
    testsupport::MessageRecorder messages;
    bool openWhileShown = false;
    messages.onMessage([&](const auto &) { openWhileShown = program.state.atJelentes().isOpen(); });
    program.makeReport();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Nincs egyik listán sem listatag!")});
    QVERIFY(openWhileShown); // closed only once the message has been dismissed
    QCOMPARE(program.reportFolder(), QStringList());
}

void TestReportAction::writesTheDaysFileNamedByTheDepartmentRow()
{
    Program program;
    const qint64 first = program.addEntry();
    const qint64 second = program.addEntry(QStringLiteral("HAL"));
    // The rows carry the code stored now; the name takes the department row read at start-up.
    program.state.connection().execute(QStringLiteral("UPDATE OSZTALY SET FINKOD = '999999999'"));

    testsupport::MessageRecorder messages;
    program.makeReport();
    QCOMPARE(messages.texts(), QStringList{program.success(program.reportPath())});
    QCOMPARE(messages.messages().front().kind, ui::MessageKind::Plain);
    QCOMPARE(program.reportFolder(), QStringList{financingCode + QStringLiteral("_20060307.xml")});

    const QByteArray xml = contents(program.reportPath());
    QCOMPARE(xml.count("<z:row "), 2);
    QCOMPARE(xml.count("FINKOD='999999999'"), 2);
    QVERIFY(xml.contains("HIV_SZAM='" + QByteArray::number(first) + "'"));
    QVERIFY(xml.contains("HIV_SZAM='" + QByteArray::number(second) + "'"));
    QVERIFY(program.state.atOsztaly().isOpen());
}

void TestReportAction::sameDayReplacesAndAnotherDayAdds()
{
    Program program;
    program.addEntry();
    testsupport::MessageRecorder messages;
    program.makeReport();
    program.addEntry();
    program.makeReport();
    QCOMPARE(contents(program.reportPath()).count("<z:row "), 2);
    const QByteArray firstDay = contents(program.reportPath());

    db::setFixedNow(QDateTime(QDate(2006, 3, 8), QTime(0, 0)));
    program.addEntry();
    program.makeReport();
    QCOMPARE(messages.last(), program.success(program.reportPath(QStringLiteral("20060308"))));
    QCOMPARE(contents(program.reportPath(QStringLiteral("20060308"))).count("<z:row "), 3);
    QCOMPARE(contents(program.reportPath()), firstDay);
    QCOMPARE(program.reportFolder().size(), 2);
}

void TestReportAction::missingFolderFailsUntilItExists()
{
    Program program(false);
    program.addEntry();
    testsupport::MessageRecorder messages;
    program.makeReport();
    QCOMPARE(messages.texts(),
             QStringList{program.failure(QStringLiteral("Nem hozható létre a jelentés állománya: ")
                                         + QDir::toNativeSeparators(program.reportPath())
                                         + QStringLiteral(" (a könyvtár nem létezik)"))});
    QVERIFY(!QFileInfo::exists(program.dir.reportDirPath()));

    QVERIFY(QDir(program.dir.path()).mkdir(QStringLiteral("Jelentesek")));
    program.makeReport();
    QCOMPARE(messages.last(), program.success(program.reportPath()));
    QVERIFY(QFileInfo(program.reportPath()).isFile());
}

void TestReportAction::failedSaveKeepsWhatWasThere()
{
    Program program;
    program.addEntry();
    testsupport::MessageRecorder messages;

    // A folder standing under the report's name: nothing can replace it.
    QVERIFY(
        QDir(program.dir.reportDirPath()).mkdir(financingCode + QStringLiteral("_20060307.xml")));
    program.makeReport();
    QCOMPARE(messages.last(),
             program.failure(QStringLiteral("Nem hozható létre a jelentés állománya: ")
                             + QDir::toNativeSeparators(program.reportPath())
                             + QStringLiteral(" (ezen a néven könyvtár áll)")));
    QVERIFY(QFileInfo(program.reportPath()).isDir());
    QCOMPARE(program.reportFolder().size(), 1);

    // An earlier report of the day, then a save that breaks off in the middle of the rows.
    QVERIFY(
        QDir(program.dir.reportDirPath()).rmdir(financingCode + QStringLiteral("_20060307.xml")));
    program.makeReport();
    const QByteArray earlier = contents(program.reportPath());
    QVERIFY(!earlier.isEmpty());
    // Enough rows that the first part of the new file is already out when the bad one comes.
    db::WriteTransaction transaction(program.state.connection());
    for (int i = 0; i < 3000; ++i)
        program.addEntry();
    transaction.commit();
    program.state.connection().execute(
        QStringLiteral("UPDATE LISTA SET SURGOSSEG = char(7) "
                       "WHERE HIV_SZAM = (SELECT max(HIV_SZAM) FROM LISTA)"));
    program.makeReport();
    QVERIFY2(messages.last().startsWith(
                 program.failure(QStringLiteral("A jelentés 3001. sorának SURGOSSEG"))),
             qPrintable(messages.last()));
    QCOMPARE(contents(program.reportPath()), earlier);
    QCOMPARE(program.reportFolder().size(), 1);
}

void TestReportAction::refusesFinancingCodesThatCannotNameAFile_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("climbs out of the folder") << QStringLiteral("../../x");
    QTest::newRow("backslash") << QStringLiteral("..\\x");
    QTest::newRow("ends with a dot") << QStringLiteral("12345678.");
    QTest::newRow("empty") << QStringLiteral("");
}

void TestReportAction::refusesFinancingCodesThatCannotNameAFile()
{
    QFETCH(QString, code);
    Program program(true, code);
    program.addEntry();
    const QStringList before
        = QDir(program.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    testsupport::MessageRecorder messages;
    program.makeReport();
    QCOMPARE(messages.texts(), QStringList{program.failure(report::financingCodeProblem(code))});
    QCOMPARE(program.reportFolder(), QStringList());
    QCOMPARE(QDir(program.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(
        !QFileInfo::exists(program.dir.reportDirPath() + code + QStringLiteral("_20060307.xml")));
}

void TestReportAction::unreadableQueryEscapesToTheCaller()
{
    Program program;
    program.addEntry();
    program.state.connection().execute(
        QStringLiteral("DROP VIEW QJELENTES; CREATE VIEW QJELENTES AS SELECT HIV_SZAM FROM LISTA"));
    testsupport::MessageRecorder messages;
    QVERIFY_THROWS_EXCEPTION(db::Error, app::makeReport(program.state));
    QCOMPARE(messages.count(), 0);
    QVERIFY(!program.state.atJelentes().isOpen());
    QCOMPARE(program.reportFolder(), QStringList());
}

QTEST_MAIN(TestReportAction)
#include "tst_reportaction.moc"
