#include "columnplan.h"

#include "error.h"
#include "fielddef.h"
#include "textlimit.h"
#include "values.h"

#include <QDateTime>

#include <sqlite3.h>

#include <cstring>

namespace db {

ColumnPlan::ColumnPlan(const FieldDef &field)
    : m_width(field.width)
    , m_fieldName(field.name)
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

QVariant ColumnPlan::fetch(sqlite3_stmt *statement, int column)
{
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return {};
    switch (m_conversion) {
    case Conversion::OwnType:
        if (type == SQLITE_TEXT)
            return m_texts.text(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                sqlite3_column_bytes(statement, column));
        return columnValue(statement, column);
    case Conversion::Integer: {
        qint64 value = 0;
        if (type == SQLITE_INTEGER)
            return qint64(sqlite3_column_int64(statement, column));
        if (type == SQLITE_FLOAT
            && integralDouble(sqlite3_column_double(statement, column), &value))
            return value;
        if (type == SQLITE_TEXT) {
            const auto *text
                = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
            if (parseStoredInteger(text, sqlite3_column_bytes(statement, column), &value))
                return value;
        }
        break;
    }
    case Conversion::Text: {
        if (type == SQLITE_BLOB)
            break;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        QString value = m_texts.text(text, sqlite3_column_bytes(statement, column));
        if (m_width > 0 && value.size() > m_width && characterCount(value) > m_width)
            break;
        return value;
    }
    case Conversion::DateTime: {
        if (type != SQLITE_TEXT)
            break;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const int bytes = sqlite3_column_bytes(statement, column);
        if (bytes == m_lastDayBytes && std::memcmp(text, m_lastDay, size_t(bytes)) == 0)
            return m_lastDayValue;
        QDateTime value = parseStoredDateTime(text, bytes);
        if (!value.isValid())
            break;
        // Stored date text is 10 or 19 bytes only, so the text fits.
        std::memcpy(m_lastDay, text, size_t(bytes));
        m_lastDayBytes = bytes;
        m_lastDayValue = value;
        return m_lastDayValue;
    }
    }
    badValue(statement, column);
}

void ColumnPlan::badValue(sqlite3_stmt *statement, int column) const
{
    const QString value = sqlite3_column_type(statement, column) == SQLITE_BLOB
                              ? QStringLiteral("(bináris adat)")
                              : columnText(statement, column);
    switch (m_conversion) {
    case Conversion::Integer:
        throw Error(
            QStringLiteral("A(z) %1 mező értéke nem egész szám: „%2”").arg(m_fieldName, value));
    case Conversion::Text:
        throw Error(QStringLiteral("A(z) %1 mező értéke hosszabb %2 karakternél: „%3”")
                        .arg(m_fieldName)
                        .arg(m_width)
                        .arg(value));
    default:
        throw Error(QStringLiteral("A(z) %1 mező értéke nem dátum: „%2”").arg(m_fieldName, value));
    }
}

} // namespace db
