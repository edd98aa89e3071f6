// One workstation of the load test: puts new entries on list 0 and records an event for each,
// through the member dialog's own save code, and acknowledges each save once it returned,
// one line per save, so that the test knows what must be in the database.
//   loadworker PROGRAMFOLDER WORKER COUNT ACKFILE
// The folder holds the database file or names the server, as at a department.
#include "dataset/dataset.h"
#include "db/clock.h"
#include "db/connection.h"
#include "lists/membersave.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() != 5)
        return 2;
    const int worker = args[2].toInt();
    const int count = args[3].toInt();
    QFile ack(args[4]);
    if (!ack.open(QIODevice::Append | QIODevice::Unbuffered))
        return 3;
    QTextStream err(stderr);
    try {
        db::Connection connection;
        connection.openDepartment(args[1]);
        db::Dataset atEsemeny;
        lists::openEvents(atEsemeny, connection);
        const QDate today = db::today();
        qint64 longestMs = 0;
        QElapsedTimer timer;
        for (int i = 0; i < count; ++i) {
            timer.start();
            lists::MemberRequest entry;
            entry.beavtipKod = 0;
            entry.taj = QStringLiteral("%1").arg(worker * 100000 + i, 9, 10, QLatin1Char('0'));
            entry.nev = QStringLiteral("Terhelés %1/%2 Ödön").arg(worker).arg(i);
            entry.listara = today.addDays(-10);
            entry.surgos = 1;
            entry.eventName = QStringLiteral("Várakozás");
            entry.esemDatum = today.addDays(-10);
            entry.today = today;
            const lists::SaveOutcome added = lists::saveMember(connection, atEsemeny, entry);
            if (added.result != lists::SaveOutcome::Result::Saved) {
                err << "insert failed: " << added.error.value_or(QStringLiteral("event")) << '\n';
                return 1;
            }
            const qint64 hivSzam = connection.lastInsertRowId();
            ack.write(QStringLiteral("E %1 %2\n").arg(hivSzam).arg(entry.taj).toUtf8());

            lists::MemberRequest event = entry;
            event.hivSzam = QString::number(hivSzam);
            event.eventName = QStringLiteral("Halasztva a beteg kérésére");
            event.esemDatum = today;
            const lists::SaveOutcome saved = lists::saveMember(connection, atEsemeny, event);
            if (saved.result != lists::SaveOutcome::Result::Saved || saved.logFailed) {
                err << "save failed: " << saved.error.value_or(QStringLiteral("log")) << '\n';
                return 1;
            }
            ack.write(QStringLiteral("V %1\n").arg(hivSzam).toUtf8());
            longestMs = std::max(longestMs, timer.elapsed());
        }
        // The longest an entry and its event took, waits for the others included.
        ack.write(QStringLiteral("W %1\n").arg(longestMs).toUtf8());
    } catch (const db::Error &e) {
        err << e.message() << '\n';
        return 1;
    }
    return 0;
}
