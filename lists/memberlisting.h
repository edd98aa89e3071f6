#pragma once

#include "tables/heading.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace db {
class Connection;
class Dataset;
} // namespace db

namespace lists {

// The department as its lists are headed on paper and in files.
struct DepartmentName
{
    QString name;
    QString institute; // INTKOD
    QString financing; // FINKOD
};

// The department's one row (OSZTALY), read where it is without moving the table's current row;
// empty names while it is not read or has no row.
DepartmentName departmentName(const db::Dataset &osztaly);

// The members shown in the list manager, as they leave the program on paper or in a file:
// the grid's columns as the grid shows them, in the grid's order, and each member's waiting
// days last.
struct MemberListing
{
    QString listName;
    tables::Heading heading;
    QStringList titles;
    QList<QStringList> rows;
    // The columns that hold numbers: the reference number and the waiting days.
    QList<int> numberColumns;
};

// The title of the waiting days' column.
QString waitingDaysTitle();

// Whole days from the day the member was put on the list to today; none without a day.
std::optional<int> waitingDays(const QDate &listed, const QDate &today);

// The list's name as its members are headed: BEAVTIP_NEV, or "N. lista" for a list without
// a name (or without its row).
QString readListName(db::Connection &connection, qint64 code);

// Names the members whose row holds a value its field does not (another client wrote it so),
// each by reference number and TAJ with the fields concerned; empty when there is none.
QString oddEntriesMessage(const db::Dataset &members);

// The line under the grid: the list, how many members are shown of how many (and the search
// that narrows them, when there is one), and the longest wait among the members shown.
QString statusLine(const QString &listName, int shown, int total,
                   std::optional<int> longestWaitDays, const QString &search = {});

// The message after a failed reading of the members; reason is the database's message, as
// the error display puts it.
QString rereadFailedMessage(const QString &reason);
// What the count line adds while the rows shown are from an earlier reading.
QString staleListNote();

// Above the printed or saved members: the department with its codes and the list, the day,
// and, while a search narrows the list, that only the members it shows are in it.
tables::Heading memberHeading(const DepartmentName &department, const QString &listName,
                              const QDate &day, const QString &search, int shown, int total);

} // namespace lists
