// A department that moves from its file to a server keeps its statistics: every figure of
// every choice is the same from either.
#include "serverdatabase.h"
#include "statsfixture.h"

#include "db/connection.h"
#include "db/newdatabase.h"
#include "stats/scope.h"
#include "stats/statistics.h"
#include "stats/tableexport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

class TestStatsEngines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void serverFiguresAreTheFiles();
};

void TestStatsEngines::serverFiguresAreTheFiles()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString file = folder.filePath(QString::fromLatin1(db::databaseFileName));
    db::schema::createDatabase(file, db::schema::Contents::WithSampleLists);
    {
        db::Connection connection;
        connection.open(file);
        fillStatsDepartment(connection);
        fillRandomHistories(connection, 7, 300);
    }
    const QString server = newServerDatabase();
    moveUp(file, server);
    db::Connection fromFile;
    fromFile.open(file);
    db::Connection fromServer;
    fromServer.openServer(server);
    const QList<stats::Scope> choices = stats::scopeChoices(fromFile);
    QCOMPARE(choices.size(), stats::scopeChoices(fromServer).size());
    QCOMPARE(choices.size(), 11);
    for (const stats::Scope &scope : choices) {
        const stats::Figures onFile = stats::computeFigures(fromFile, scope, statsToday());
        const stats::Figures onServer = stats::computeFigures(fromServer, scope, statsToday());
        QCOMPARE(QString::fromUtf8(stats::csvDocument({onServer})),
                 QString::fromUtf8(stats::csvDocument({onFile})));
    }
}

QTEST_GUILESS_MAIN(TestStatsEngines)
#include "tst_statsengines.moc"
