#pragma once

#include <QDate>
#include <QList>
#include <QMap>
#include <QString>

namespace stats {

// Entries that came onto the list, came back to it or left it in one month (YYYYMM; 0 when
// the day is not known, which counts as before any month shown). left is keyed by the event
// that took them off; the counts may be negative where a count corrects another.
struct MonthChange
{
    int month = 0;
    QString event;
    qint64 added = 0;
    qint64 returned = 0;
    qint64 left = 0;
};

// One month of the trend and the flow.
struct MonthFigures
{
    QDate month;     // its first day
    QDate countedOn; // its last day, or today in the current month
    qint64 members = 0;
    qint64 added = 0;
    qint64 returned = 0;
    QMap<QString, qint64> left; // by event code
    qint64 leftTotal() const;
};

// The months that end with the current one, oldest first: members on the list at the end of
// each (today in the current month), and what came and went in it. A day after today counts
// as today.
QList<MonthFigures> movement(const QList<MonthChange> &changes, const QDate &today,
                             int monthCount = 24);

// YYYYMM of a day.
int monthNumber(const QDate &day);

} // namespace stats
