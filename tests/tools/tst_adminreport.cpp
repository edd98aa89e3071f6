// The tool's "jelentes" against the main window's report action on twin program folders:
// the same file, the same message, and an exit status a nightly job can act on.
#include "adminfixture.h"
#include "messagerecorder.h"

#include "app/reportaction.h"
#include "db/clock.h"
#include "db/connection.h"
#include "ui/mainstate.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

using namespace testsupport;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every report file of the folder with its bytes.
QMap<QString, QByteArray> reportFiles(const TempProgramDir &dir)
{
    QMap<QString, QByteArray> files;
    const QDir folder(dir.reportDirPath());
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden))
        files.insert(name, contents(folder.filePath(name)));
    return files;
}

enum class Setup { Members, NoMembers, NoFolder, BadFinancingCode };

void prepare(AdminFixture &fixture, Setup setup)
{
    db::Connection connection;
    fixture.dir.connect(connection);
    switch (setup) {
    case Setup::Members:
        break;
    case Setup::NoMembers:
        connection.execute(QStringLiteral("UPDATE LISTA SET ESEM_KOD = 'BEA'"));
        break;
    case Setup::NoFolder:
        QVERIFY(QDir(fixture.dir.reportDirPath()).removeRecursively());
        break;
    case Setup::BadFinancingCode:
        connection.execute(QStringLiteral("UPDATE OSZTALY SET FINKOD = '12/45'"));
        break;
    }
}

} // namespace

class TestAdminReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(23, 59, 30))); }
    void cleanup() { db::setFixedNow({}); }

    void reportBehavesAsTheButton_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("files");

        QTest::newRow("members") << Setup::Members << 0 << 1;
        QTest::newRow("no member on any list") << Setup::NoMembers << 3 << 0;
        QTest::newRow("no report folder") << Setup::NoFolder << 1 << 0;
        QTest::newRow("financing code names no file") << Setup::BadFinancingCode << 1 << 0;
    }

    void reportBehavesAsTheButton()
    {
        QFETCH(Setup, setup);
        QFETCH(int, exitCode);
        QFETCH(int, files);

        AdminFixture button;
        AdminFixture tool;
        prepare(button, setup);
        prepare(tool, setup);

        MessageRecorder messages;
        {
            QWidget mainWidget;
            ui::MainState state(&mainWidget, button.dir.path());
            state.connect();
            state.grantAccess();
            state.atOsztaly().open();
            app::makeReport(state);
        }
        QCOMPARE(messages.count(), 1);

        QCOMPARE(tool.run({u"jelentes"_qs}), exitCode);
        const QString printed = (exitCode == 0 ? tool.out : tool.err);
        QCOMPARE(exitCode == 0 ? tool.err : tool.out, QString());
        QString expected = messages.last();
        expected.replace(QDir::toNativeSeparators(button.dir.path()),
                         QDir::toNativeSeparators(tool.dir.path()));
        QCOMPARE(printed, expected + u'\n');
        QCOMPARE(reportFiles(tool.dir), reportFiles(button.dir));
        QCOMPARE(reportFiles(tool.dir).size(), files);
    }

    void secondReportOfTheDayReplacesTheFirst()
    {
        AdminFixture tool;
        QCOMPARE(tool.run({u"jelentes"_qs}), 0);
        const QString path = tool.dir.reportDirPath() + QStringLiteral("123456789_20060307.xml");
        const QByteArray first = contents(path);
        {
            db::Connection connection;
            tool.dir.connect(connection);
            insertEntry(connection, 5, QStringLiteral("444444440"), QStringLiteral("Új Beteg"),
                        QDate(2006, 3, 1));
        }
        QCOMPARE(tool.run({u"jelentes"_qs}), 0);
        QVERIFY(contents(path) != first);
        QCOMPARE(QDir(tool.dir.reportDirPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(TestAdminReport)
#include "tst_adminreport.moc"
