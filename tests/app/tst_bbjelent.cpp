// The main window's "Jelentés elkészítése" button, pressed after a real login.
#include "messagerecorder.h"
#include "tempdatabase.h"
#include "typing.h"

#include "app/ufrmMainZazadoroz.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/statement.h"
#include "db/writetransaction.h"
#include "report/reportfile.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace testsupport;

namespace {

const QString code = QStringLiteral("123456789");

// A department registered in an earlier run and the main window opened past the login.
struct Started
{
    explicit Started(bool withReportDir = true, const QString &finkod = code)
        : dir(true, withReportDir)
    {
        {
            db::Connection connection;
            dir.connect(connection);
            insertDepartment(connection, QStringLiteral("1234"), finkod, QStringLiteral("F"),
                             QStringLiteral("Szemészet"), QStringLiteral("titok"));
        }
        driver.on(QStringLiteral("frmBejel"), [](QDialog *d) {
            typeText(child<QLineEdit>(d, QStringLiteral("ePassword")), QStringLiteral("titok"));
            QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnOK")), Qt::LeftButton);
        });
        window = std::make_unique<TfrmMainZazadoroz>(dir.path());
        window->show();
    }

    db::Connection &connection() { return window->state().connection(); }

    qint64 addEntry(const QString &event = QStringLiteral("VAR"))
    {
        return insertEntry(connection(), 3, QStringLiteral("111111110"),
                           QStringLiteral("Őri Ágnes"), QDate(2006, 2, 1), QStringLiteral("H"),
                           event);
    }

    void pressReport()
    {
        messages.clear();
        QTest::mouseClick(child<QPushButton>(window.get(), QStringLiteral("bbJelent")),
                          Qt::LeftButton);
    }

    QString file(const char *day = "20060307") const
    {
        return dir.reportDirPath() + code + u'_' + QLatin1String(day) + QStringLiteral(".xml");
    }

    QStringList reportFolder() const
    {
        return QDir(dir.reportDirPath())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QString ready(const char *day = "20060307") const
    {
        return QStringLiteral("A jelentés elkészült. Az elkészített állomány: \n\r")
               + QDir::toNativeSeparators(file(day));
    }

    QString failure(const QString &reason) const
    {
        return QStringLiteral("Hiba a jelentés elkészítése közben, talán a ")
               + QDir::toNativeSeparators(dir.reportDirPath())
               + QStringLiteral(" könyvtár nem létezik, vagy nem írható\n\r") + reason;
    }

    QString notCreated(const char *why) const
    {
        return failure(QStringLiteral("Nem hozható létre a jelentés állománya: ")
                       + QDir::toNativeSeparators(file()) + QStringLiteral(" (")
                       + QString::fromUtf8(why) + u')');
    }

    TempProgramDir dir;
    MessageRecorder messages;
    ModalDriver driver;
    std::unique_ptr<TfrmMainZazadoroz> window;
};

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestBbJelent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(23, 59, 30))); }
    void cleanup() { db::setFixedNow({}); }
    void noListMemberTouchesNoFile();
    void fileIsNamedByTheDepartmentRow();
    void sameDayReplacesAnotherDayAdds();
    void missingFolderFailsUntilItExists();
    void failedSaveKeepsWhatWasThere();
    void refusesFinancingCodesThatCannotNameAFile_data();
    void refusesFinancingCodesThatCannotNameAFile();
    void unreadableQueryGoesToTheErrorDisplay();
};

void TestBbJelent::noListMemberTouchesNoFile()
{
    Started program;
    program.addEntry(QStringLiteral("BEA")); // left the list: not reported
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{QStringLiteral("Nincs egyik listán sem listatag!")});
    QCOMPARE(program.reportFolder(), QStringList());
}

void TestBbJelent::fileIsNamedByTheDepartmentRow()
{
    Started program;
    const qint64 first = program.addEntry();
    const qint64 second = program.addEntry(QStringLiteral("HAL"));
    // The rows carry the code stored now; the name takes the department row read at start-up.
    program.connection().execute(QStringLiteral("UPDATE OSZTALY SET FINKOD = '999999999'"));

    program.pressReport();
    QCOMPARE(program.messages.texts(), QStringList{program.ready()});
    QCOMPARE(program.messages.messages().front().kind, ui::MessageKind::Plain);
    QCOMPARE(program.reportFolder(), QStringList{code + QStringLiteral("_20060307.xml")});
    const QByteArray xml = contents(program.file());
    QCOMPARE(xml.count("<z:row "), 2);
    QCOMPARE(xml.count("FINKOD='999999999'"), 2);
    QVERIFY(xml.contains("HIV_SZAM='" + QByteArray::number(first) + "'"));
    QVERIFY(xml.contains("HIV_SZAM='" + QByteArray::number(second) + "'"));
}

void TestBbJelent::sameDayReplacesAnotherDayAdds()
{
    Started program;
    program.addEntry();
    program.pressReport();
    program.addEntry();
    program.pressReport();
    QCOMPARE(program.messages.texts(), QStringList{program.ready()});
    const QByteArray firstDay = contents(program.file());
    QCOMPARE(firstDay.count("<z:row "), 2);

    db::setFixedNow(QDateTime(QDate(2006, 3, 8), QTime(0, 0, 1)));
    program.addEntry();
    program.pressReport();
    QCOMPARE(program.messages.texts(), QStringList{program.ready("20060308")});
    QCOMPARE(contents(program.file("20060308")).count("<z:row "), 3);
    QCOMPARE(contents(program.file()), firstDay);
    QCOMPARE(program.reportFolder().size(), 2);
}

void TestBbJelent::missingFolderFailsUntilItExists()
{
    Started program(false);
    program.addEntry();
    program.pressReport();
    QCOMPARE(program.messages.texts(), QStringList{program.notCreated("a könyvtár nem létezik")});
    QCOMPARE(program.messages.messages().front().kind, ui::MessageKind::Plain);
    QVERIFY(!QFileInfo::exists(program.dir.reportDirPath()));

    QVERIFY(QDir(program.dir.path()).mkdir(QStringLiteral("Jelentesek")));
    program.pressReport();
    QCOMPARE(program.messages.texts(), QStringList{program.ready()});
    QVERIFY(QFileInfo(program.file()).isFile());
}

void TestBbJelent::failedSaveKeepsWhatWasThere()
{
    Started program;
    program.addEntry();
    const QString name = QFileInfo(program.file()).fileName();

    // A folder standing under the report's name: nothing can replace it.
    QVERIFY(QDir(program.dir.reportDirPath()).mkdir(name));
    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{program.notCreated("ezen a néven könyvtár áll")});
    QVERIFY(QFileInfo(program.file()).isDir());
    QCOMPARE(program.reportFolder(), QStringList{name});

    // An earlier report of the day, then a save that breaks off in the middle of the rows:
    // enough rows that the first part of the new file is already out when the bad one comes.
    QVERIFY(QDir(program.dir.reportDirPath()).rmdir(name));
    program.pressReport();
    const QByteArray earlier = contents(program.file());
    QVERIFY(!earlier.isEmpty());
    db::WriteTransaction transaction(program.connection());
    for (int i = 0; i < 3000; ++i)
        program.addEntry();
    transaction.commit();
    // A control character no report may carry.
    db::Statement bell(program.connection(),
                       QStringLiteral("UPDATE LISTA SET SURGOSSEG = ? WHERE HIV_SZAM = (SELECT "
                                      "max(HIV_SZAM) FROM LISTA)"));
    bell.bind(1, QString(QChar(7)));
    bell.step();
    program.pressReport();
    QCOMPARE(program.messages.count(), 1);
    const qint64 bad = program.connection()
                           .scalar(QStringLiteral("SELECT max(HIV_SZAM) FROM LISTA"))
                           .toLongLong();
    QCOMPARE(program.messages.last(),
             program.failure(QStringLiteral("A(z) %1 hivatkozási számú bejegyzés (TAJ: 111111110) "
                                            "SURGOSSEG mezője XML-állományban nem tárolható "
                                            "vezérlőkaraktert tartalmaz (U+0007).")
                                 .arg(bad)));
    QCOMPARE(contents(program.file()), earlier);
    QCOMPARE(program.reportFolder(), QStringList{name});
}

void TestBbJelent::refusesFinancingCodesThatCannotNameAFile_data()
{
    QTest::addColumn<QString>("finkod");
    QTest::newRow("climbs out of the folder") << QStringLiteral("../../x");
    QTest::newRow("backslash") << QStringLiteral("..\\x");
    QTest::newRow("ends with a dot") << QStringLiteral("12345678.");
    QTest::newRow("empty") << QStringLiteral("");
}

void TestBbJelent::refusesFinancingCodesThatCannotNameAFile()
{
    QFETCH(QString, finkod);
    Started program(true, finkod);
    program.addEntry();
    const QDir programDir(program.dir.path());
    const QStringList before = programDir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    program.pressReport();
    QCOMPARE(program.messages.texts(),
             QStringList{program.failure(report::financingCodeProblem(finkod))});
    QCOMPARE(program.reportFolder(), QStringList());
    QCOMPARE(programDir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(
        !QFileInfo::exists(program.dir.reportDirPath() + finkod + QStringLiteral("_20060307.xml")));
}

void TestBbJelent::unreadableQueryGoesToTheErrorDisplay()
{
    Started program;
    program.addEntry();
    program.connection().execute(
        QStringLiteral("DROP VIEW QJELENTES; CREATE VIEW QJELENTES AS SELECT HIV_SZAM FROM LISTA"));
    program.pressReport();
    QCOMPARE(program.messages.count(), 1);
    QCOMPARE(program.messages.messages().front().kind, ui::MessageKind::Error);
    QCOMPARE(program.reportFolder(), QStringList());
}

QTEST_MAIN(TestBbJelent)
#include "tst_bbjelent.moc"
