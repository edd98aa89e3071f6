#pragma once

#include <QString>

#include <vector>

namespace db {
class Dataset;
}

// The orders the list manager shows its members in: the list's own order (the member
// query's rows as read), or sorted by one column.
namespace lists {

// 0, 1, ... recordCount - 1.
std::vector<int> ownOrder(const db::Dataset &members);

// The rows sorted by the column's stored values: dates as dates, numbers as numbers, texts
// by the computer's language (Hungarian alphabet); an empty value comes first. Rows of equal
// value keep the list's own order, whichever way the column is sorted.
std::vector<int> sortedOrder(const db::Dataset &members, const QString &column, bool descending);

} // namespace lists
