// A department that moves from its file to a server sends the same daily report from either:
// the same data and day give the same bytes.
#include "serverdatabase.h"
#include "tempdatabase.h"

#include "dataset/dataset.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/newdatabase.h"
#include "lists/membersave.h"
#include "report/dailyreport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lists of both kinds, both urgencies, dates from several years and a leap day, entries that
// left their list, gaps in HIV_SZAM, and event changes written through the program's own save.
int fillDepartment(const QString &file)
{
    db::Connection connection;
    connection.open(file);
    insertDepartment(connection, QStringLiteral("1234"), QStringLiteral("123456789"),
                     QStringLiteral("F"), QStringLiteral("Sebészet"), QStringLiteral("titok"));
    const int kinds[] = {1, 2, 3, 4, 12};
    const char *events[] = {"VAR", "HAL", "BEA", "VAR", "KER", "VAR", "NJE"};
    const QDate first(1999, 12, 31);
    QList<qint64> entries;
    for (int i = 0; i < 60; ++i) {
        const QDate listara = i == 7 ? QDate(2004, 2, 29) : first.addDays(i * 37 % 2200);
        entries << insertEntry(
            connection, kinds[i % 5],
            QStringLiteral("%1").arg(100000000 + i * 7919, 9, 10, QLatin1Char('0')),
            QStringLiteral("Beteg & <Ödön> \"%1\"").arg(i), listara,
            i % 3 == 0 ? QStringLiteral("A") : QStringLiteral("H"),
            QString::fromLatin1(events[i % 7]), listara.addDays(i % 11));
    }
    connection.execute(QStringLiteral("DELETE FROM LISTA WHERE HIV_SZAM IN (%1, %2)")
                           .arg(entries[5])
                           .arg(entries[40]));
    for (const int i : {1, 8, 15, 22}) {
        const lists::SaveOutcome saved
            = lists::saveEvent(connection, QString::number(entries[i]), QStringLiteral("HAL"),
                               QDate(2006, 3, 1 + i % 5));
        if (saved.error || saved.logFailed)
            return -1;
    }
    return int(connection.scalar(QStringLiteral("SELECT count(*) FROM QJELENTES")).toLongLong());
}

} // namespace

class TestReportEngines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { db::setFixedNow(QDateTime(QDate(2006, 3, 7), QTime(10, 0))); }
    void cleanup() { db::setFixedNow({}); }
    void serverReportIsTheFilesByteForByte();
};

void TestReportEngines::serverReportIsTheFilesByteForByte()
{
    QTemporaryDir fileFolder;
    QTemporaryDir serverFolder;
    QVERIFY(fileFolder.isValid() && serverFolder.isValid());
    for (const QTemporaryDir *folder : {&fileFolder, &serverFolder})
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("Jelentesek")));
    const QString file = fileFolder.filePath(QString::fromLatin1(db::databaseFileName));
    db::schema::createDatabase(file, db::schema::Contents::WithSampleLists);
    const int onLists = fillDepartment(file);
    QVERIFY(onLists > 20);

    const QString server = newServerDatabase();
    moveUp(file, server);

    db::Connection fromFile;
    fromFile.open(file);
    const report::DailyReport fileReport
        = report::makeDailyReport(fromFile, fileFolder.path() + u'/', db::today());
    db::Connection fromServer;
    fromServer.openServer(server);
    const report::DailyReport serverReport
        = report::makeDailyReport(fromServer, serverFolder.path() + u'/', db::today());

    QCOMPARE(fileReport.outcome, report::DailyReport::Outcome::Written);
    QCOMPARE(serverReport.outcome, report::DailyReport::Outcome::Written);
    const QByteArray fileBytes = contents(fileReport.path);
    QCOMPARE(int(fileBytes.count("<z:row ")), onLists);
    QCOMPARE(contents(serverReport.path), fileBytes);
    QCOMPARE(QFileInfo(serverReport.path).fileName(), QFileInfo(fileReport.path).fileName());
}

QTEST_GUILESS_MAIN(TestReportEngines)
#include "tst_reportengines.moc"
