// One workstation of the load test: puts new entries on list 0 and records an event for each,
// through the member dialog's own save code, and acknowledges each save once it returned,
// one line per save, so that the test knows what must be in the database.
//   loadworker PROGRAMFOLDER WORKER COUNT ACKFILE
// The folder holds the database file or names the server, as at a department.
#include "dataset/dataset.h"
#include "db/clock.h"
#include "db/connection.h"
#include "db/statements.h"
#include "rules/member.h"

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
        db::Dataset aqModosit;
        aqModosit.setConnection(&connection);
        const QDate today = db::today();
        qint64 longestMs = 0;
        QElapsedTimer timer;
        for (int i = 0; i < count; ++i) {
            timer.start();
            db::statements::NewEntry entry;
            entry.beavtipKod = 0;
            entry.taj = QStringLiteral("%1").arg(worker * 100000 + i, 9, 10, QLatin1Char('0'));
            entry.nev = QStringLiteral("Terhelés %1/%2 Ödön").arg(worker).arg(i);
            entry.listaraDatum = today.addDays(-10);
            entry.surgosseg = QStringLiteral("H");
            entry.esemKod = QStringLiteral("VAR");
            entry.esemDatum = today.addDays(-10);
            entry.insDate = today;
            aqModosit.setSql(db::statements::insertLista(entry));
            aqModosit.execute();
            const qint64 hivSzam = connection.lastInsertRowId();
            ack.write(QStringLiteral("E %1 %2\n").arg(hivSzam).arg(entry.taj).toUtf8());

            const lists::SaveOutcome saved = lists::saveEvent(aqModosit, QString::number(hivSzam),
                                                              QStringLiteral("HAL"), today);
            if (saved.error || saved.logFailed) {
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
