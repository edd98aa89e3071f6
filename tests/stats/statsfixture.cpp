#include "statsfixture.h"

#include "tempdatabase.h"

#include "db/sqltext.h"
#include "db/statement.h"
#include "db/writetransaction.h"

#include <random>

namespace testsupport {

namespace {

QDateTime at(int y, int m, int d, int hour = 10)
{
    return QDateTime(QDate(y, m, d), QTime(hour, 0));
}

QString day(int y, int m, int d)
{
    return db::sqlDateText(QDate(y, m, d));
}

void insertLog(db::Connection &connection, qint64 hivSzam, const QDateTime &when,
               const QString &column, const QString &oldValue, const QString &newValue)
{
    db::Statement statement(connection,
                            QStringLiteral("INSERT INTO LOG (DATUM, HIV_SZAM, MEZO, "
                                           "REGI_ERTEK, UJ_ERTEK) VALUES (?, ?, ?, ?, ?)"));
    statement.bind(1, when);
    statement.bind(2, hivSzam);
    statement.bind(3, column);
    statement.bind(4, oldValue);
    statement.bind(5, newValue);
    statement.step();
}

} // namespace

QDate statsToday()
{
    return {2024, 3, 15};
}

void logChange(db::Connection &connection, qint64 hivSzam, const QDateTime &when,
               const QString &oldCode, const QString &newCode, const QString &oldDay,
               const QString &newDay)
{
    insertLog(connection, hivSzam, when, QStringLiteral("ESEM_KOD"), oldCode, newCode);
    if (!oldDay.isEmpty() || !newDay.isEmpty())
        insertLog(connection, hivSzam, when, QStringLiteral("ESEM_DATUM"), oldDay, newDay);
}

void logDayChange(db::Connection &connection, qint64 hivSzam, const QDateTime &when,
                  const QString &oldDay, const QString &newDay)
{
    insertLog(connection, hivSzam, when, QStringLiteral("ESEM_DATUM"), oldDay, newDay);
}

namespace {

// Each entry by its name, under a TAJ of its own.
struct Entries
{
    db::Connection &connection;
    QMap<QString, qint64> e;

    qint64 operator()(const QString &name, int list, QDate listed, const QString &urgency,
                      const QString &event, QDate eventDay = {})
    {
        e[name] = insertEntry(connection, list,
                              QStringLiteral("%1").arg(111111110 + e.size(), 9, 10, QChar(u'0')),
                              QStringLiteral("Beteg ") + name, listed, urgency, event, eventDay);
        return e[name];
    }
};

// The first waiting list's histories up to the ninth entry.
void fillFirstHistories(db::Connection &connection, Entries &entry)
{
    entry(QStringLiteral("E1"), 1, QDate(2023, 1, 10), QStringLiteral("A"), QStringLiteral("VAR"));
    entry(QStringLiteral("E2"), 1, QDate(2024, 2, 29), QStringLiteral("H"), QStringLiteral("VAR"));
    entry(QStringLiteral("E3"), 1, statsToday(), QStringLiteral("H"), QStringLiteral("VAR"));

    const qint64 e4 = entry(QStringLiteral("E4"), 1, QDate(2023, 6, 1), QStringLiteral("H"),
                            QStringLiteral("BEA"), QDate(2023, 9, 20));
    logChange(connection, e4, at(2023, 9, 21), QStringLiteral("VAR"), QStringLiteral("BEA"),
              day(2023, 6, 1), day(2023, 9, 20));

    // Left, and came back.
    const qint64 e5 = entry(QStringLiteral("E5"), 1, QDate(2022, 11, 5), QStringLiteral("H"),
                            QStringLiteral("VAR"), QDate(2023, 5, 3));
    logChange(connection, e5, at(2023, 2, 10), QStringLiteral("VAR"), QStringLiteral("KER"),
              day(2022, 11, 5), day(2023, 2, 10));
    logChange(connection, e5, at(2023, 5, 3, 11), QStringLiteral("KER"), QStringLiteral("VAR"),
              day(2023, 2, 10), day(2023, 5, 3));

    // Left on a day corrected five days later: it left on the month's last day.
    const qint64 e6 = entry(QStringLiteral("E6"), 1, QDate(2023, 3, 1), QStringLiteral("A"),
                            QStringLiteral("BEA"), QDate(2023, 7, 31));
    logChange(connection, e6, at(2023, 8, 31, 12), QStringLiteral("VAR"), QStringLiteral("BEA"),
              day(2023, 3, 1), day(2023, 8, 31));
    logDayChange(connection, e6, at(2023, 9, 5, 8), day(2023, 8, 31), day(2023, 7, 31));

    // Left (day corrected from the 15th to the 20th), came back with a day in September,
    // before it left: back on the day it left.
    const qint64 e7 = entry(QStringLiteral("E7"), 1, QDate(2023, 4, 1), QStringLiteral("H"),
                            QStringLiteral("VAR"), QDate(2023, 9, 25));
    logChange(connection, e7, at(2023, 10, 16), QStringLiteral("VAR"), QStringLiteral("NJE"),
              day(2023, 4, 1), day(2023, 10, 15));
    logDayChange(connection, e7, at(2023, 10, 17), day(2023, 10, 15), day(2023, 10, 20));
    logChange(connection, e7, at(2023, 11, 2), QStringLiteral("NJE"), QStringLiteral("VAR"),
              day(2023, 10, 20), day(2023, 9, 25));

    // Off the list long before the months shown, with no log at all.
    entry(QStringLiteral("E8"), 1, QDate(2021, 1, 15), QStringLiteral("H"), QStringLiteral("KER"),
          QDate(2021, 6, 30));

    // Its event day lies before its listing day: it was never on the list at a month's end.
    const qint64 e9 = entry(QStringLiteral("E9"), 1, QDate(2023, 12, 1), QStringLiteral("H"),
                            QStringLiteral("ATH"), QDate(2023, 11, 20));
    logChange(connection, e9, at(2023, 12, 5), QStringLiteral("VAR"), QStringLiteral("ATH"),
              day(2023, 12, 1), day(2023, 11, 20));
}

// The second waiting list, the first one's later histories and a patient-admission list.
void fillLaterHistories(db::Connection &connection, Entries &entry)
{
    const QMap<QString, qint64> &e = entry.e;
    // Another waiting list: left and came back.
    const qint64 e10 = entry(QStringLiteral("E10"), 2, QDate(2023, 5, 5), QStringLiteral("A"),
                             QStringLiteral("VAR"), QDate(2023, 8, 1));
    logChange(connection, e10, at(2023, 6, 2), QStringLiteral("VAR"), QStringLiteral("BEA"),
              day(2023, 5, 5), day(2023, 6, 1));
    logChange(connection, e10, at(2023, 8, 2), QStringLiteral("BEA"), QStringLiteral("VAR"),
              day(2023, 6, 1), day(2023, 8, 1));

    // Taken off with an event day still to come: it leaves today.
    entry(QStringLiteral("E11"), 1, QDate(2023, 2, 2), QStringLiteral("A"), QStringLiteral("BEA"),
          QDate(2024, 4, 1));

    // The log names an event kind deleted since, and a day in another form.
    const qint64 e12 = entry(QStringLiteral("E12"), 1, QDate(2023, 7, 7), QStringLiteral("H"),
                             QStringLiteral("VAR"), QDate(2023, 7, 20));
    logChange(connection, e12, at(2023, 7, 20), QStringLiteral("XXX"), QStringLiteral("VAR"),
              QStringLiteral("2023-07-07"), day(2023, 7, 20));

    // An urgency of neither kind.
    entry(QStringLiteral("E14"), 1, QDate(2024, 1, 31), QStringLiteral("X"), QStringLiteral("VAR"));

    // Postponed, then operated on.
    const qint64 e15 = entry(QStringLiteral("E15"), 1, QDate(2023, 8, 8), QStringLiteral("A"),
                             QStringLiteral("BEA"), QDate(2023, 12, 24));
    logChange(connection, e15, at(2023, 9, 1), QStringLiteral("VAR"), QStringLiteral("HAL"),
              day(2023, 8, 8), day(2023, 9, 1));
    logChange(connection, e15, at(2023, 12, 27), QStringLiteral("HAL"), QStringLiteral("BEA"),
              day(2023, 9, 1), day(2023, 12, 24));

    // Left, came back, left again.
    const qint64 e16 = entry(QStringLiteral("E16"), 1, QDate(2022, 6, 1), QStringLiteral("H"),
                             QStringLiteral("KER"), QDate(2023, 6, 30));
    logChange(connection, e16, at(2022, 9, 2), QStringLiteral("VAR"), QStringLiteral("BEA"),
              day(2022, 6, 1), day(2022, 9, 1));
    logChange(connection, e16, at(2023, 1, 16), QStringLiteral("BEA"), QStringLiteral("VAR"),
              day(2022, 9, 1), day(2023, 1, 15));
    logChange(connection, e16, at(2023, 7, 1, 8), QStringLiteral("VAR"), QStringLiteral("KER"),
              day(2023, 1, 15), day(2023, 6, 30));

    // A patient-admission list.
    entry(QStringLiteral("E17"), 11, QDate(2023, 9, 9), QStringLiteral("A"), QStringLiteral("VAR"));

    // Log rows of an entry that is no more.
    const qint64 gone = e.value(QStringLiteral("E17")) + 1000;
    logChange(connection, gone, at(2023, 3, 3), QStringLiteral("BEA"), QStringLiteral("VAR"),
              day(2023, 1, 1), day(2023, 3, 3));
}

} // namespace

QMap<QString, qint64> fillStatsDepartment(db::Connection &connection)
{
    db::WriteTransaction transaction(connection);
    Entries entry{connection, {}};
    fillFirstHistories(connection, entry);
    fillLaterHistories(connection, entry);
    transaction.commit();
    return entry.e;
}

void fillRandomHistories(db::Connection &connection, quint32 seed, int entries)
{
    std::mt19937 random(seed);
    const auto below = [&random](int n) { return int(random() % quint32(n)); };
    const QString codes[] = {QStringLiteral("VAR"), QStringLiteral("HAL"), QStringLiteral("BEA"),
                             QStringLiteral("KER"), QStringLiteral("NJE")};
    const int lists[] = {1, 2, 11};
    const QDate first = statsToday().addDays(-1200);
    db::WriteTransaction transaction(connection);
    for (int i = 0; i < entries; ++i) {
        const QDate listed = first.addDays(below(1260));
        QString code = QStringLiteral("VAR");
        QDate eventDay = listed;
        struct Change
        {
            QDateTime when;
            QString oldCode, newCode, oldDay, newDay;
        };
        QList<Change> changes;
        QDateTime when(listed.addDays(below(5)), QTime(9, 0));
        const int steps = below(6);
        for (int s = 0; s < steps; ++s) {
            when = when.addDays(1 + below(120)).addSecs(below(3600));
            Change change{when, code, code, db::sqlDateText(eventDay), db::sqlDateText(eventDay)};
            if (below(4) > 0)
                change.newCode = codes[below(5)];
            // Mostly forward, sometimes back before the day that stood.
            const QDate newDay
                = below(5) == 0 ? eventDay.addDays(-below(60)) : eventDay.addDays(below(90));
            change.newDay = db::sqlDateText(newDay);
            changes.append(change);
            code = change.newCode;
            eventDay = newDay;
        }
        const qint64 hivSzam = insertEntry(
            connection, lists[below(3)],
            QStringLiteral("%1").arg(200000000 + i, 9, 10, QChar(u'0')),
            QStringLiteral("Véletlen %1").arg(i), listed,
            below(8) == 0 ? QStringLiteral("A") : QStringLiteral("H"), code, eventDay);
        for (const Change &change : changes) {
            // Now and then a log row was never written (a failed log does not stop a save).
            if (below(15) == 0)
                continue;
            if (change.oldCode != change.newCode)
                insertLog(connection, hivSzam, change.when, QStringLiteral("ESEM_KOD"),
                          change.oldCode, change.newCode);
            if (change.oldDay != change.newDay)
                insertLog(connection, hivSzam, change.when, QStringLiteral("ESEM_DATUM"),
                          change.oldDay, change.newDay);
        }
    }
    transaction.commit();
}

} // namespace testsupport
