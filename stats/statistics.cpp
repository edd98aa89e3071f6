#include "statistics.h"

#include "db/statement.h"
#include "db/statistics.h"

namespace stats {

namespace {

QString textOrNull(const db::Statement &statement, int column)
{
    if (statement.isNull(column))
        return {};
    const QString text = statement.text(column);
    return text.isNull() ? QStringLiteral("") : text;
}

// A stored day or moment: its first ten characters are the ISO day on both engines.
QDate storedDay(const db::Statement &statement, int column)
{
    if (statement.isNull(column))
        return {};
    return QDate::fromString(statement.text(column).left(10), Qt::ISODate);
}

int monthOrUnknown(const db::Statement &statement, int column)
{
    return statement.isNull(column) ? 0 : int(statement.int64(column));
}

QList<EventKind> readEvents(db::Connection &connection)
{
    QList<EventKind> events;
    db::Statement statement(connection, db::statistics::events());
    while (statement.step())
        events.append({textOrNull(statement, 0), statement.text(1), statement.text(2) == u"I"});
    return events;
}

} // namespace

Figures figuresFrom(const Scope &scope, const QDate &today, const QList<DayCount> &members,
                    const QList<MonthChange> &changes, const QList<EventKind> &events)
{
    Figures figures;
    figures.scope = scope;
    figures.today = today;
    figures.events = events;
    figures.waiting = waitingTimes(members, today);
    figures.months = movement(changes, today);
    return figures;
}

Figures computeFigures(db::Connection &connection, const Scope &scope, const QDate &today)
{
    const QString condition = scope.condition();
    QList<DayCount> members;
    QList<MonthChange> changes;
    {
        db::Statement statement(connection, db::statistics::entriesByDay(condition));
        while (statement.step()) {
            const QDate day = storedDay(statement, 0);
            changes.append(
                {day.isValid() ? monthNumber(day) : 0, QString(), statement.int64(1), 0, 0});
            const qint64 onList = statement.int64(2);
            if (onList == 0)
                continue;
            const qint64 acute = statement.int64(3);
            const qint64 deferrable = statement.int64(4);
            members.append({day, {acute, deferrable, onList - acute - deferrable}});
        }
    }
    {
        db::Statement statement(connection, db::statistics::leftByMonth(condition));
        while (statement.step())
            changes.append(
                {monthOrUnknown(statement, 0), textOrNull(statement, 1), 0, 0, statement.int64(2)});
    }
    {
        db::Statement statement(connection, db::statistics::historyCorrections(condition));
        while (statement.step())
            changes.append({monthOrUnknown(statement, 0), textOrNull(statement, 1), 0,
                            statement.int64(3), statement.int64(2)});
    }
    return figuresFrom(scope, today, members, changes, readEvents(connection));
}

} // namespace stats
