#pragma once

#include "repeatedtexts.h"

#include <QString>
#include <QVariant>

namespace db {

struct FieldDef;
class Statement;

// What opening a dataset does with one column's values: a persistent field converts to its
// kind, any other column keeps the value's own type.
class ColumnPlan
{
public:
    ColumnPlan() = default;
    explicit ColumnPlan(const FieldDef &field);

    // The current row's value of the column; throws db::Error when it does not convert.
    QVariant fetch(const Statement &statement, int column);

private:
    enum class Conversion { OwnType, Integer, Text, DateTime };

    [[noreturn]] void badValue(const Statement &statement, int column) const;

    Conversion m_conversion = Conversion::OwnType;
    int m_width = 0;
    QString m_fieldName;
    RepeatedTexts m_texts;
    // Sorted lists repeat a day for many rows in a row.
    char m_lastDay[20] = {};
    int m_lastDayBytes = -1;
    QVariant m_lastDayValue;
};

} // namespace db
