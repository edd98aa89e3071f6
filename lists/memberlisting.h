#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace lists {

// The members shown in the list manager, as they leave the program on paper or in a file:
// the grid's columns as the grid shows them, in the grid's order, and each member's waiting
// days last.
struct MemberListing
{
    QString department;
    QString listName;
    QDate date; // the day it was made
    QStringList titles;
    QList<QStringList> rows;
    // The columns that hold numbers: the reference number and the waiting days.
    QList<int> numberColumns;
};

// The title of the waiting days' column.
QString waitingDaysTitle();

// Whole days from the day the member was put on the list to today; none without a date.
std::optional<int> waitingDays(const QDateTime &listed, const QDate &today);

// The line under the grid: the list, how many members are shown of how many, and the longest
// wait among the members shown.
QString statusLine(const QString &listName, int shown, int total,
                   std::optional<int> longestWaitDays);

} // namespace lists
