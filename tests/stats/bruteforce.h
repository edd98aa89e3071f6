#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

namespace db {
class Connection;
}

namespace testsupport {

struct CountedMonth
{
    QDate countedOn;
    qint64 members = 0;
    qint64 added = 0;
    qint64 returned = 0;
    QMap<QString, qint64> left;
};

// The trend and the flow of the entries of the given lists counted the long way: every entry
// and log row read, each entry's history followed in the log's order, and each month-end
// checked entry by entry. The months are those ending with today's, oldest first.
QList<CountedMonth> countMonthsByHand(db::Connection &connection, const QList<int> &lists,
                                      const QDate &today, int monthCount = 24);

} // namespace testsupport
