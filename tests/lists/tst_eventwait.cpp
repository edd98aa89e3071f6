// Two workstations recording an event for the same entry at once: the second waits for the
// first and logs the first one's values as the old ones; a wait past the limit saves nothing.
#include "serverdatabase.h"
#include "tempdatabase.h"

#include "dataset/dataset.h"
#include "db/file/fileengine.h"
#include "db/statements.h"
#include "db/writetransaction.h"
#include "lists/membersave.h"

#include <QTest>

#include <atomic>
#include <thread>

using namespace testsupport;

namespace {

QString logText(db::Connection &connection)
{
    QStringList lines;
    for (const QVariantList &row :
         rows(connection, QStringLiteral("SELECT MEZO, REGI_ERTEK, UJ_ERTEK FROM LOG ORDER BY "
                                         "SORSZAM")))
        lines << QStringLiteral("%1 %2>%3")
                     .arg(row.value(0).toString(), row.value(1).toString(),
                          row.value(2).toString());
    return lines.join(u'|');
}

// Workstation B: its own connection to the same folder, the member dialog's save code.
lists::SaveOutcome saveFromAnotherWorkstation(const TempProgramDir &dir, qint64 hivSzam,
                                              const QString &code, const QDate &day)
{
    db::Connection connection;
    dir.connect(connection);
    return lists::saveEvent(connection, QString::number(hivSzam), code, day);
}

// Returns once workstation B, whose save has started, waits for the lock that A holds: the
// server lists the lock B waits for, the file's engine counts the waits it began.
void waitUntilBlocked(db::Connection &holder, const std::atomic<bool> &started, int fileWaitsBefore)
{
    QTRY_VERIFY_WITH_TIMEOUT(started.load(), 5000);
    if (!serverEngine()) {
        QTRY_VERIFY_WITH_TIMEOUT(db::FileEngine::lockWaitsBegun() > fileWaitsBefore, 5000);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        holder.scalar(QStringLiteral("SELECT count(*) FROM pg_locks WHERE NOT granted"))
                .toLongLong()
            > 0,
        5000);
}

} // namespace

class TestEventWait : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void secondSaveLogsFromTheFirstOnesValues()
    {
        TempProgramDir dir(db::schema::Contents::WithSampleLists);
        db::Connection a;
        dir.connect(a);
        const qint64 hiv = insertEntry(a, 3, QStringLiteral("123456788"),
                                       QStringLiteral("Őri Ágnes"), QDate(2026, 1, 5));
        lists::SaveOutcome second;
        std::atomic<bool> started = false;
        std::atomic<bool> done = false;
        {
            // Workstation A is in the middle of its save: the entry changed, not yet committed.
            db::WriteTransaction first(a);
            first.guardRow(QStringLiteral("LISTA"), QStringLiteral("HIV_SZAM"), hiv);
            a.execute(
                db::statements::updateListaEvent(QStringLiteral("BEA"), QDate(2026, 2, 1), hiv));
            const int fileWaitsBefore = db::FileEngine::lockWaitsBegun();
            std::thread b([&] {
                started = true;
                second = saveFromAnotherWorkstation(dir, hiv, QStringLiteral("HAL"),
                                                    QDate(2026, 2, 1));
                done = true;
            });
            waitUntilBlocked(a, started, fileWaitsBefore);
            // B neither gave up nor got through while A held the entry.
            const bool finishedEarly = done;
            first.commit();
            b.join();
            QVERIFY(!finishedEarly);
        }
        QVERIFY2(!second.error, qPrintable(second.error.value_or(QString())));
        QVERIFY(!second.logFailed);
        // The old value is what A stored, not what B would have read before A's commit.
        QCOMPARE(logText(a), QStringLiteral("ESEM_KOD BEA>HAL"));
        QCOMPARE(rows(a, QStringLiteral("SELECT ESEM_KOD FROM LISTA WHERE HIV_SZAM = %1").arg(hiv))
                     .value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("HAL"));
    }

    void waitPastTheLimitSavesNothing()
    {
        TempProgramDir dir(db::schema::Contents::WithSampleLists);
        db::Connection a;
        dir.connect(a);
        const qint64 hiv = insertEntry(a, 3, QStringLiteral("123456788"),
                                       QStringLiteral("Őri Ágnes"), QDate(2026, 1, 5));
        db::WriteTransaction first(a);
        first.guardRow(QStringLiteral("LISTA"), QStringLiteral("HIV_SZAM"), hiv);
        a.execute(db::statements::updateListaEvent(QStringLiteral("BEA"), QDate(2026, 2, 1), hiv));
        lists::SaveOutcome second;
        std::thread b([&] {
            second = saveFromAnotherWorkstation(dir, hiv, QStringLiteral("HAL"), QDate(2026, 2, 1));
        });
        b.join();
        first.rollback();
        QVERIFY(second.error.has_value());
        QVERIFY2(second.error->contains(QStringLiteral("próbálja újra később")),
                 qPrintable(*second.error));
        QVERIFY2(!second.error->contains(QStringLiteral("ERROR")), qPrintable(*second.error));
        QCOMPARE(logText(a), QString());
        QCOMPARE(rows(a, QStringLiteral("SELECT ESEM_KOD FROM LISTA WHERE HIV_SZAM = %1").arg(hiv))
                     .value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("VAR"));
    }
};

QTEST_GUILESS_MAIN(TestEventWait)
#include "tst_eventwait.moc"
