#pragma once

#include <QString>

#include <vector>

namespace db {

class Column;
struct FieldDef;
class Statement;

// What opening a dataset does with one column's values: a persistent field converts to its
// kind, any other column keeps the value's own type.
class ColumnPlan
{
public:
    ColumnPlan() = default;
    explicit ColumnPlan(const FieldDef &field);

    // Appends the current row's value of the column to the stored column. A value that does
    // not convert to the field's kind, or is wider than the field, or text that is not UTF-8,
    // is kept as it came (bytes that are not text as bytes) and its row noted.
    void fetch(const Statement &statement, int column, Column &into);
    // The rows fetched so far whose value the field does not hold, in order.
    const std::vector<int> &oddRows() const { return m_oddRows; }

private:
    enum class Conversion { OwnType, Integer, Text, DateTime };

    static void appendOwnType(const Statement &statement, int column, Column &into);

    Conversion m_conversion = Conversion::OwnType;
    int m_width = 0;
    // Sorted lists repeat a day for many rows in a row.
    char m_lastDay[20] = {};
    int m_lastDayBytes = -1;
    qint64 m_lastJulianDay = 0;
    int m_lastSeconds = 0;
    std::vector<int> m_oddRows;
};

} // namespace db
