#include "columnplan.h"

#include "error.h"
#include "fielddef.h"
#include "statement.h"
#include "textlimit.h"
#include "values.h"

#include <QDateTime>

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

QVariant ColumnPlan::fetch(const Statement &statement, int column)
{
    const ValueType type = statement.type(column);
    if (type == ValueType::Null)
        return {};
    switch (m_conversion) {
    case Conversion::OwnType:
        if (type == ValueType::Text) {
            const QByteArrayView text = statement.utf8(column);
            return m_texts.text(text.data(), int(text.size()));
        }
        return statement.value(column);
    case Conversion::Integer: {
        qint64 value = 0;
        if (type == ValueType::Integer)
            return statement.int64(column);
        if (type == ValueType::Float && integralDouble(statement.float64(column), &value))
            return value;
        if (type == ValueType::Text) {
            const QByteArrayView text = statement.utf8(column);
            if (parseStoredInteger(text.data(), text.size(), &value))
                return value;
        }
        break;
    }
    case Conversion::Text: {
        if (type == ValueType::Blob)
            break;
        const QByteArrayView text = statement.utf8(column);
        QString value = m_texts.text(text.data(), int(text.size()));
        if (m_width > 0 && value.size() > m_width && characterCount(value) > m_width)
            break;
        return value;
    }
    case Conversion::DateTime: {
        if (type != ValueType::Text)
            break;
        const QByteArrayView view = statement.utf8(column);
        const char *text = view.data();
        const int bytes = int(view.size());
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

void ColumnPlan::badValue(const Statement &statement, int column) const
{
    const QString value = statement.type(column) == ValueType::Blob
                              ? QStringLiteral("(bináris adat)")
                              : QString::fromUtf8(statement.utf8(column));
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
