#pragma once

#include "chunkedarray.h"
#include "textcolumn.h"

#include <QVariant>

namespace db {

// One column of a dataset's rows, stored by the kind of its values: whole numbers (and
// floating-point ones) as 64-bit numbers, days as day numbers with the time of day only where
// one is not midnight, texts and bytes through a TextColumn, nulls as one bit a row. A QVariant
// is made only for the cell that is read. Rows are appended in order.
class Column
{
public:
    int rowCount() const { return m_rows; }

    void appendNull();
    void appendInteger(qint64 value);
    void appendFloat(double value);
    void appendText(const char *utf8, qsizetype bytes);
    void appendBlob(const char *data, qsizetype bytes);
    // A moment of the file's wall clock: the Julian day and the seconds since its midnight.
    void appendDateTime(qint64 julianDay, int seconds);

    bool isNull(int row) const;
    // The cell as the value of its kind: qint64, double, QString, QByteArray, QDateTime in
    // UTC holding the stored wall-clock fields; a null QVariant for null.
    QVariant value(int row) const;
    // The cell's whole number, when the cell holds one.
    bool integer(int row, qint64 *value) const;
    // A text cell's stored UTF-8, without a copy; empty for any other cell.
    QByteArrayView utf8(int row) const;
    // A date cell's day as a Julian day number, when the cell holds one.
    bool julianDay(int row, qint64 *day) const;

    void clear();

private:
    enum class Kind : quint8 { Integer, Float, Text, Blob, DateTime };

    void beginRow(Kind kind);
    Kind kind(int row) const { return m_kinds.isEmpty() ? m_kind : Kind(m_kinds.at(row)); }

    int m_rows = 0;
    bool m_anyKind = false; // false until the first value that is not null
    Kind m_kind = Kind::Text;
    ChunkedArray<quint8> m_kinds; // one a row, only once a column mixes kinds
    ChunkedArray<quint64> m_nulls;
    ChunkedArray<qint64> m_numbers;
    ChunkedArray<qint32> m_days;
    ChunkedArray<qint32> m_seconds; // only once a time of day is not midnight
    TextColumn m_texts;
};

} // namespace db
