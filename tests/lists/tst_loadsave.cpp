// Several workstations saving at once through the member dialog's own save code, then some
// of them killed in the middle: every acknowledged save is in the database (the file or the
// server), each event change has exactly its LOG rows, and the file is sound.
#include "tempdatabase.h"

#include "db/checkup.h"
#include "db/connection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

using namespace testsupport;

namespace {
const QString worker = QStringLiteral(LOADWORKER);

struct Acks
{
    QSet<qint64> entries;
    QSet<qint64> events;
    qint64 longestSaveMs = 0;
};

Acks readAcks(const QStringList &files)
{
    Acks acks;
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() >= 2 && parts[0] == "E")
                acks.entries.insert(parts[1].toLongLong());
            else if (parts.size() >= 2 && parts[0] == "V")
                acks.events.insert(parts[1].toLongLong());
            else if (parts.size() >= 2 && parts[0] == "W")
                acks.longestSaveMs = std::max(acks.longestSaveMs, parts[1].toLongLong());
        }
    }
    return acks;
}

// Every acknowledged row there, LOG rows exactly two per recorded event and none otherwise.
void checkDatabase(const TempProgramDir &dir, const Acks &acks, int *entriesFound)
{
    db::Connection connection;
    dir.connect(connection);
    const db::Checkup checkup = db::checkDatabase(connection);
    QVERIFY2(checkup.intact, qPrintable(checkup.verdict));
    QHash<qint64, QString> codes;
    for (const QVariantList &row : rows(connection, QStringLiteral("SELECT HIV_SZAM, ESEM_KOD "
                                                                   "FROM LISTA")))
        codes.insert(row[0].toLongLong(), row[1].toString());
    QHash<qint64, int> logs;
    for (const QVariantList &row :
         rows(connection, QStringLiteral("SELECT HIV_SZAM, count(*) FROM LOG GROUP BY HIV_SZAM")))
        logs.insert(row[0].toLongLong(), int(row[1].toLongLong()));
    for (const qint64 hiv : acks.entries)
        QVERIFY2(codes.contains(hiv), qPrintable(QString::number(hiv)));
    for (const qint64 hiv : acks.events)
        QCOMPARE(codes.value(hiv), QStringLiteral("HAL"));
    for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
        const int expected = it.value() == u"HAL" ? 2 : 0;
        QCOMPARE(logs.value(it.key()), expected);
    }
    QCOMPARE(connection
                 .scalar(QStringLiteral("SELECT count(*) FROM LOG WHERE HIV_SZAM NOT IN "
                                        "(SELECT HIV_SZAM FROM LISTA)"))
                 .toLongLong(),
             0);
    *entriesFound = int(codes.size());
}
} // namespace

class TestLoadSave : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parallelWorkersLoseNothing();
    void killedWorkersLoseOnlyUnacknowledged();
};

// Four workstations each putting 500 entries on the list and recording an event for each, all
// at once: every one of them must get its turn at the file within the wait the program allows,
// and every save must be there afterwards.
void TestLoadSave::parallelWorkersLoseNothing()
{
    TempProgramDir dir;
    constexpr int workers = 4;
    constexpr int perWorker = 500;
    QStringList ackFiles;
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer timer;
    timer.start();
    for (int w = 0; w < workers; ++w) {
        ackFiles << dir.path() + QStringLiteral("terheles%1.txt").arg(w);
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(
            worker, {dir.path(), QString::number(w), QString::number(perWorker), ackFiles.last()});
        QVERIFY(process->waitForStarted());
        processes.push_back(std::move(process));
    }
    for (auto &process : processes) {
        QVERIFY(process->waitForFinished(240000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }
    const double seconds = double(timer.elapsed()) / 1000.0;
    const Acks acks = readAcks(ackFiles);
    QCOMPARE(int(acks.entries.size()), workers * perWorker);
    QCOMPARE(int(acks.events.size()), workers * perWorker);
    int found = 0;
    checkDatabase(dir, acks, &found);
    QCOMPARE(found, workers * perWorker);
    qInfo("%d workers x %d entries, each with an event: %d writes in %.1f s, longest entry and "
          "event %lld ms",
          workers, perWorker, 2 * workers * perWorker, seconds, acks.longestSaveMs);
}

void TestLoadSave::killedWorkersLoseOnlyUnacknowledged()
{
    TempProgramDir dir;
    constexpr int workers = 4;
    constexpr int rounds = 3;
    QStringList ackFiles;
    int kills = 0;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (int w = 0; w < workers; ++w) {
            ackFiles << dir.path() + QStringLiteral("ack%1_%2.txt").arg(round).arg(w);
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            // Distinct TAJ numbers per round and worker.
            process->start(worker, {dir.path(), QString::number(10 + round * workers + w),
                                    QStringLiteral("100000"), ackFiles.last()});
            QVERIFY(process->waitForStarted());
            processes.push_back(std::move(process));
        }
        // Killed only once saving is under way (a slow build starts the workers slowly), then
        // at a moment nobody chose.
        const QStringList roundAcks = ackFiles.mid(ackFiles.size() - workers);
        QTRY_VERIFY_WITH_TIMEOUT(!readAcks(roundAcks).entries.isEmpty(), 60000);
        QTest::qWait(100 + QRandomGenerator::global()->bounded(600));
        for (auto &process : processes) {
            process->kill(); // SIGKILL: no chance to finish the save
            QVERIFY(process->waitForFinished(10000));
            ++kills;
        }
        const Acks acks = readAcks(ackFiles);
        QVERIFY(!acks.entries.isEmpty());
        int found = 0;
        checkDatabase(dir, acks, &found);
        if (QTest::currentTestFailed())
            return;
        qInfo("kill round %d: %d kills so far, %d entries acknowledged, %d rows stored, "
              "%.1f s",
              round + 1, kills, int(acks.entries.size()), found, double(timer.elapsed()) / 1000.0);
    }
}

QTEST_GUILESS_MAIN(TestLoadSave)
#include "tst_loadsave.moc"
