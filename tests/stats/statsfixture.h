#pragma once

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>

namespace db {
class Connection;
}

namespace testsupport {

// The day the statistics fixtures are looked at: 29 February 2024 is in its last months.
QDate statsToday();

// One logged change of an entry, as the member dialog writes it: the event code and, when it
// moved, the event day (M/D/YYYY text), both at the same moment.
void logChange(db::Connection &connection, qint64 hivSzam, const QDateTime &when,
               const QString &oldCode, const QString &newCode, const QString &oldDay = {},
               const QString &newDay = {});
// A change of the event day alone.
void logDayChange(db::Connection &connection, qint64 hivSzam, const QDateTime &when,
                  const QString &oldDay, const QString &newDay);

// The hand-computed department of the statistics tests (lists of the sample database): on
// list 1 entries waiting, left, left and came back, with a leaving day corrected later, with
// event days before the listing day or after today, a deleted event kind in the log and an
// urgency of neither kind; one entry each on lists 2 and 11; list 3 empty; log rows of an
// entry that is gone. Returns the entries by their names in the tests (E1...).
QMap<QString, qint64> fillStatsDepartment(db::Connection &connection);

// A department of random histories for the comparison with the brute-force count: entries on
// lists 1, 2 and 11 that leave, come back and have their days corrected, in and out of order.
void fillRandomHistories(db::Connection &connection, quint32 seed, int entries);

} // namespace testsupport
