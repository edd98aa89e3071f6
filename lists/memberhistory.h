#pragma once

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace lists {

// One change of an entry, as the history window shows it.
struct HistoryLine
{
    QString when;     // date and time of the change
    QString field;    // the grid's title of the changed column
    QString oldValue; // event codes with their names, dates as the program shows them
    QString newValue;
};

// The LOG rows of one entry, newest first (rows written in the same second: the later
// written first).
QList<HistoryLine> readHistory(db::Connection &connection, qint64 hivSzam);

// A logged value as shown: an event code with its name when the event is known, a date in
// the computer's short date format, anything else as stored.
QString historyValue(const QString &column, const QString &stored, const QString &eventName);

} // namespace lists
