#include "column.h"

#include <QDateTime>

#include <bit>

namespace db {

void Column::beginRow(Kind kind)
{
    if (!m_anyKind) {
        m_anyKind = true;
        m_kind = kind;
    } else if (m_kinds.isEmpty() && kind != m_kind) {
        m_kinds.fill(m_rows, quint8(m_kind));
    }
    if (!m_kinds.isEmpty() || kind != m_kind)
        m_kinds.append(quint8(kind));
}

void Column::appendNull()
{
    const int word = m_rows >> 6;
    m_nulls.fill(word + 1, 0);
    m_nulls.at(word) |= quint64(1) << (m_rows & 63);
    if (!m_kinds.isEmpty())
        m_kinds.append(quint8(m_kind));
    ++m_rows;
}

void Column::appendInteger(qint64 value)
{
    beginRow(Kind::Integer);
    m_numbers.fill(m_rows, 0);
    m_numbers.append(value);
    ++m_rows;
}

void Column::appendFloat(double value)
{
    beginRow(Kind::Float);
    m_numbers.fill(m_rows, 0);
    m_numbers.append(std::bit_cast<qint64>(value));
    ++m_rows;
}

void Column::appendText(const char *utf8, qsizetype bytes)
{
    beginRow(Kind::Text);
    m_texts.set(m_rows, utf8, bytes);
    ++m_rows;
}

void Column::appendBlob(const char *data, qsizetype bytes)
{
    beginRow(Kind::Blob);
    m_texts.set(m_rows, data, bytes);
    ++m_rows;
}

void Column::appendDateTime(qint64 julianDay, int seconds)
{
    beginRow(Kind::DateTime);
    m_days.fill(m_rows, 0);
    m_days.append(qint32(julianDay));
    if (seconds != 0 || !m_seconds.isEmpty()) {
        m_seconds.fill(m_rows, 0);
        m_seconds.append(seconds);
    }
    ++m_rows;
}

bool Column::isNull(int row) const
{
    const int word = row >> 6;
    return word < m_nulls.size() && (m_nulls.at(word) >> (row & 63) & 1) != 0;
}

QVariant Column::value(int row) const
{
    if (row < 0 || row >= m_rows || isNull(row))
        return {};
    switch (kind(row)) {
    case Kind::Integer:
        return m_numbers.at(row);
    case Kind::Float:
        return std::bit_cast<double>(m_numbers.at(row));
    case Kind::Text:
        return m_texts.text(row);
    case Kind::Blob: {
        const QByteArrayView bytes = m_texts.bytes(row);
        return QByteArray(bytes.data(), bytes.size());
    }
    case Kind::DateTime: {
        const int seconds = row < m_seconds.size() ? m_seconds.at(row) : 0;
        return QDateTime(QDate::fromJulianDay(m_days.at(row)),
                         QTime::fromMSecsSinceStartOfDay(seconds * 1000), Qt::UTC);
    }
    }
    return {};
}

bool Column::integer(int row, qint64 *value) const
{
    if (row < 0 || row >= m_rows || isNull(row) || kind(row) != Kind::Integer)
        return false;
    *value = m_numbers.at(row);
    return true;
}

QByteArrayView Column::utf8(int row) const
{
    if (row < 0 || row >= m_rows || isNull(row) || kind(row) != Kind::Text)
        return {};
    return m_texts.bytes(row);
}

bool Column::julianDay(int row, qint64 *day) const
{
    if (row < 0 || row >= m_rows || isNull(row) || kind(row) != Kind::DateTime)
        return false;
    *day = m_days.at(row);
    return true;
}

void Column::clear()
{
    m_rows = 0;
    m_anyKind = false;
    m_kinds.clear();
    m_nulls.clear();
    m_numbers.clear();
    m_days.clear();
    m_seconds.clear();
    m_texts.clear();
}

} // namespace db
