#pragma once

#include "movement.h"
#include "scope.h"
#include "waitingtimes.h"

#include <QDate>
#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace stats {

struct EventKind
{
    QString code;
    QString name;
    bool onList = false;
};

// Every figure of the statistics window and of the tool's statistics, for one scope and day.
struct Figures
{
    Scope scope;
    QDate today;
    WaitingTimes waiting;
    QList<MonthFigures> months; // the last 24, oldest first
    QList<EventKind> events;    // the department's event kinds, by code
};

// Runs the statistics statements on the connection; today is the day the waits are counted
// to and the months end with. Throws db::Error with the engine's message.
Figures computeFigures(db::Connection &connection, const Scope &scope, const QDate &today);

// The figures from the statements' counts: the members on the list by listing day, and what
// came and went by month (the entries put on the list included).
Figures figuresFrom(const Scope &scope, const QDate &today, const QList<DayCount> &members,
                    const QList<MonthChange> &changes, const QList<EventKind> &events);

} // namespace stats
