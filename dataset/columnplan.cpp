#include "columnplan.h"

#include "column.h"
#include "db/statement.h"
#include "db/textlimit.h"
#include "db/values.h"
#include "fielddef.h"

#include <QDateTime>

#include <cstring>

namespace db {

ColumnPlan::ColumnPlan(const FieldDef &field)
    : m_width(field.width)
{
    switch (field.kind) {
    case FieldKind::Integer:
        m_conversion = Conversion::Integer;
        break;
    case FieldKind::DateTime:
        m_conversion = Conversion::DateTime;
        break;
    case FieldKind::Text:
        m_conversion = Conversion::Text;
        break;
    }
}

void ColumnPlan::fetch(const Statement &statement, int column, Column &into)
{
    const ValueType type = statement.type(column);
    if (type == ValueType::Null) {
        into.appendNull();
        return;
    }
    switch (m_conversion) {
    case Conversion::OwnType:
        appendOwnType(statement, column, into);
        return;
    case Conversion::Integer: {
        qint64 value = 0;
        if (type == ValueType::Integer) {
            into.appendInteger(statement.int64(column));
            return;
        }
        if (type == ValueType::Float && integralDouble(statement.float64(column), &value)) {
            into.appendInteger(value);
            return;
        }
        if (type == ValueType::Text) {
            const QByteArrayView text = statement.utf8(column);
            if (parseStoredInteger(text.data(), text.size(), &value)) {
                into.appendInteger(value);
                return;
            }
        }
        break;
    }
    case Conversion::Text: {
        if (type == ValueType::Blob)
            break;
        const QByteArrayView text = statement.utf8(column);
        if (!isUtf8Text(text))
            break;
        // A text of no more bytes than the width cannot hold more characters.
        if (m_width > 0 && text.size() > m_width && characterCount(storedText(text)) > m_width)
            break;
        into.appendText(text.data(), text.size());
        return;
    }
    case Conversion::DateTime: {
        if (type != ValueType::Text)
            break;
        const QByteArrayView view = statement.utf8(column);
        const char *text = view.data();
        const int bytes = int(view.size());
        if (bytes != m_lastDayBytes || std::memcmp(text, m_lastDay, size_t(bytes)) != 0) {
            const QDateTime value = parseStoredDateTime(text, bytes);
            if (!value.isValid())
                break;
            // Stored date text is 10 or 19 bytes only, so the text fits.
            std::memcpy(m_lastDay, text, size_t(bytes));
            m_lastDayBytes = bytes;
            m_lastJulianDay = value.date().toJulianDay();
            m_lastSeconds = value.time().msecsSinceStartOfDay() / 1000;
        }
        into.appendDateTime(m_lastJulianDay, m_lastSeconds);
        return;
    }
    }
    // Another client stored what the field does not hold: the row keeps the value as it came,
    // so the list still opens with every member, and the dataset names the cell.
    m_oddRows.push_back(into.rowCount());
    if (type == ValueType::Text && !isUtf8Text(statement.utf8(column))) {
        const QByteArrayView bytes = statement.utf8(column);
        into.appendBlob(bytes.data(), bytes.size());
        return;
    }
    appendOwnType(statement, column, into);
}

void ColumnPlan::appendOwnType(const Statement &statement, int column, Column &into)
{
    switch (statement.type(column)) {
    case ValueType::Integer:
        into.appendInteger(statement.int64(column));
        return;
    case ValueType::Float:
        into.appendFloat(statement.float64(column));
        return;
    case ValueType::Blob: {
        const QByteArray bytes = statement.value(column).toByteArray();
        into.appendBlob(bytes.constData(), bytes.size());
        return;
    }
    default: {
        const QByteArrayView text = statement.utf8(column);
        into.appendText(text.data(), text.size());
        return;
    }
    }
}

} // namespace db
