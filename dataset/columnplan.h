#pragma once

#include <QString>

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

    // Appends the current row's value of the column to the stored column; throws db::Error
    // when it does not convert.
    void fetch(const Statement &statement, int column, Column &into);

private:
    enum class Conversion { OwnType, Integer, Text, DateTime };

    [[noreturn]] void badValue(const Statement &statement, int column) const;

    Conversion m_conversion = Conversion::OwnType;
    int m_width = 0;
    QString m_fieldName;
    // Sorted lists repeat a day for many rows in a row.
    char m_lastDay[20] = {};
    int m_lastDayBytes = -1;
    qint64 m_lastJulianDay = 0;
    int m_lastSeconds = 0;
};

} // namespace db
