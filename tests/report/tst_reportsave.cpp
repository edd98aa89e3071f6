// The report file on a full disk, with a link at its name and with leftovers of a crash,
// made through the main window's real button.
#include "messagerecorder.h"
#include "privileged.h"
#include "tempdatabase.h"
#include "typing.h"

#include "app/ufrmMainZazadoroz.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/writetransaction.h"

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

struct Program
{
    Program()
    {
        {
            db::Connection connection;
            dir.connect(connection);
            insertDepartment(connection, QStringLiteral("1234"), code, QStringLiteral("F"),
                             QStringLiteral("Szemészet"), QStringLiteral("titok"));
        }
        driver.on(QStringLiteral("frmBejel"), [](QDialog *d) {
            typeText(child<QLineEdit>(d, QStringLiteral("ePassword")), QStringLiteral("titok"));
            QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnOK")), Qt::LeftButton);
        });
        window = std::make_unique<TfrmMainZazadoroz>(dir.path());
        window->show();
    }

    void addEntries(int count)
    {
        db::Connection &connection = window->state().connection();
        db::WriteTransaction transaction(connection);
        for (int i = 0; i < count; ++i)
            insertEntry(connection, 3, QStringLiteral("111111110"), QStringLiteral("Őri Ágnes"),
                        QDate(2006, 2, 1));
        transaction.commit();
    }

    QString pressReport()
    {
        messages.clear();
        QTest::mouseClick(child<QPushButton>(window.get(), QStringLiteral("bbJelent")),
                          Qt::LeftButton);
        return messages.count() == 1 ? messages.last() : messages.texts().join(u'|');
    }

    QString reportName() const { return code + QStringLiteral("_20060307.xml"); }
    QString file() const { return dir.reportDirPath() + reportName(); }
    QStringList folder() const
    {
        QStringList names
            = QDir(dir.reportDirPath())
                  .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.sort();
        return names;
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

bool isReady(const QString &message)
{
    return message.startsWith(QStringLiteral("A jelentés elkészült."));
}

void makeOld(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
}

void touch(const QString &path, bool old)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    if (old)
        makeOld(path);
}

} // namespace

class TestReportSave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(10, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void fullDiskKeepsTheEarlierReport_data();
    void fullDiskKeepsTheEarlierReport();
    void linkAtTheReportNameIsReplacedNotFollowed();
    void staleTemporaryFilesGoOthersStay();
    void reportIsForOwnerAndGroupOnly();
};

void TestReportSave::fullDiskKeepsTheEarlierReport_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("leaveFree");
    // The writer hands the file 16 KB at a time: below that the first write fails, above it
    // the first pieces are out before the disk fills.
    QTest::newRow("below 16 KB, nothing free") << 1 << 0;
    QTest::newRow("above 16 KB, nothing free") << 300 << 0;
    QTest::newRow("above 16 KB, full in the middle") << 300 << 24 * 1024;
}

void TestReportSave::fullDiskKeepsTheEarlierReport()
{
    QFETCH(int, rows);
    QFETCH(int, leaveFree);
    if (!runningAsRoot())
        QSKIP("A full disk needs a tmpfs mounted by root; run the tests as root to include it.");
    Program program;
    TmpfsMount disk(program.dir.reportDirPath(), qint64(512) * 1024);
    QVERIFY2(disk.isMounted(), qPrintable(disk.error()));

    program.addEntries(rows);
    QVERIFY(isReady(program.pressReport()));
    const QByteArray earlier = contents(program.file());
    QVERIFY(earlier.count("<z:row ") == rows);
    if (rows > 1)
        QVERIFY(earlier.size() > qint64(3) * 16 * 1024);
    else
        QVERIFY(earlier.size() < qint64(16) * 1024);

    program.addEntries(rows);
    const QString filler = fillDisk(program.dir.reportDirPath(), leaveFree);
    QVERIFY(!filler.isEmpty());
    const QString shown = program.pressReport();
    QVERIFY2(shown.startsWith(QStringLiteral("Hiba a jelentés elkészítése közben")),
             qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("megtelt a lemez")), qPrintable(shown));
    QCOMPARE(contents(program.file()), earlier);
    QCOMPARE(program.folder(), (QStringList{program.reportName(), QFileInfo(filler).fileName()}));

    // Room again: the next report goes through.
    QVERIFY(QFile::remove(filler));
    QVERIFY(isReady(program.pressReport()));
    QCOMPARE(contents(program.file()).count("<z:row "), 2 * rows);
}

void TestReportSave::linkAtTheReportNameIsReplacedNotFollowed()
{
    Program program;
    program.addEntries(1);
    const QString outside = program.dir.path() + QStringLiteral("mas.txt");
    QFile target(outside);
    QVERIFY(target.open(QIODevice::WriteOnly));
    target.write("nem a jelentés");
    target.close();
    QVERIFY(QFile::link(outside, program.file()));

    QVERIFY(isReady(program.pressReport()));
    const QFileInfo report(program.file());
    QVERIFY(!report.isSymLink());
    QVERIFY(report.isFile());
    QCOMPARE(contents(program.file()).count("<z:row "), 1);
    QCOMPARE(contents(outside), QByteArray("nem a jelentés"));

    // A link to nowhere is replaced the same way, and nothing is created where it pointed.
    const QString nowhere = program.dir.path() + QStringLiteral("sehol.xml");
    QVERIFY(QFile::remove(program.file()));
    QVERIFY(QFile::link(nowhere, program.file()));
    QVERIFY(isReady(program.pressReport()));
    QVERIFY(!QFileInfo(program.file()).isSymLink());
    QVERIFY(!QFileInfo::exists(nowhere));
}

void TestReportSave::staleTemporaryFilesGoOthersStay()
{
    Program program;
    program.addEntries(1);
    const QString folder = program.dir.reportDirPath();
    const QString stale = program.reportName() + QStringLiteral(".keszul-Ab12Cd");
    const QString staleOtherDay = code + QStringLiteral("_20060306.xml.keszul-ZZZZZZ");
    const QStringList kept = {
        code + QStringLiteral("_20060307.xml.keszul-Fresh1"), // being written elsewhere now
        code + QStringLiteral("_20060306.xml.keszul-ABC"),    // not six characters
        code + QStringLiteral("_20060306.xml.AbCdEf"),        // not the program's mark
        QStringLiteral("jegyzet.txt"),
        QStringLiteral("x.keszul-Ab12Cd"),
    };
    touch(folder + stale, true);
    touch(folder + staleOtherDay, true);
    touch(folder + kept[0], false);
    for (int i = 1; i < kept.size(); ++i)
        touch(folder + kept[i], true);
    // A link with the program's name is not its own file either.
    const QString link = code + QStringLiteral("_20060305.xml.keszul-Link00");
    QVERIFY(QFile::link(folder + QStringLiteral("jegyzet.txt"), folder + link));

    QVERIFY(isReady(program.pressReport()));
    QStringList expected = kept + QStringList{link, program.reportName()};
    expected.sort();
    QCOMPARE(program.folder(), expected);
}

void TestReportSave::reportIsForOwnerAndGroupOnly()
{
    Program program;
    program.addEntries(1);
    QVERIFY(isReady(program.pressReport()));
    QCOMPARE(QFile::permissions(program.file()) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                 | QFileDevice::WriteGroup);
}

QTEST_MAIN(TestReportSave)
#include "tst_reportsave.moc"
