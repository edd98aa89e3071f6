#pragma once

#include "column.h"
#include "fielddef.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace db {

class Connection;

// A client-side static dataset: opening fetches every row, so the record count is known at
// once and later changes by others are seen only after the next open. Opened either by
// name (a table or saved query) or from a statement text with named parameters.
//
// A value another client stored that a field does not hold (not of its kind, wider than it, or
// bytes that are not UTF-8 text) never stops the opening: it is kept as it came, bytes as a
// QByteArray, and oddValues() names its cell.
//
// Values are kept by column and read as fetched: integers as qint64, texts as QString, declared
// date/time fields as QDateTime in UTC (Qt::UTC) holding the stored wall-clock fields unchanged
// (the file stores no zone); compare their date() and time(), never with a local-time value. Null
// stays a null QVariant.
class Dataset : public QObject
{
    Q_OBJECT
public:
    explicit Dataset(const QString &objectName = {}, QObject *parent = nullptr);

    void setConnection(Connection *connection) { m_connection = connection; }
    Connection *connection() const { return m_connection; }

    // Persistent fields; opening a result that lacks one is an error.
    void setFields(const QList<FieldDef> &fields) { m_fields = fields; }

    // Open by name: the name goes to the database as the name of a table.
    void setTableName(const QString &name);
    // Open a statement: replaces the whole text (and forgets a table name).
    void setSql(const QString &sql);
    void setParameter(const QString &name, const QVariant &value);
    // The text open() runs: the statement, or a SELECT of every column of the named table.
    QString statementText() const;

    void open();
    // Runs the statement again; when that fails, the rows read before stay, as they were,
    // and the error goes to the caller. A closed dataset is simply opened.
    void refresh();
    void close();
    bool isOpen() const { return m_open; }
    // Runs the statement text as an INSERT or UPDATE: no rows come back.
    void execute();

    int recordCount() const { return m_rowCount; }
    int columnCount() const { return int(m_columns.size()); }
    QString columnName(int column) const { return m_columns.value(column); }
    int columnIndex(const QString &name) const; // case-insensitive; -1 when absent
    const FieldDef *field(const QString &name) const;

    // The current row: 0 after opening; recordCount() once next() has passed the last row.
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    void first() { setCurrentRow(0); }
    void next() { setCurrentRow(m_current + 1); }
    bool eof() const { return m_current >= m_rowCount; }

    // A cell whose value its field does not hold.
    struct OddValue
    {
        int row;
        int column;
    };
    // The odd cells of the rows read, by row and then by column.
    const std::vector<OddValue> &oddValues() const { return m_oddValues; }

    QVariant value(int row, int column) const;
    // What a long list's every row is read for, without a QVariant: a text cell's stored
    // UTF-8 (empty for any other cell; valid until the dataset closes), and a date cell's day
    // as a Julian day number (false for any other cell).
    QByteArrayView utf8(int row, int column) const;
    bool julianDay(int row, int column, qint64 *day) const;
    // Reads of the current row; a column that does not exist is an error.
    QVariant value(const QString &column) const;
    // Null reads as empty text, bytes that are not text as a placeholder.
    QString asText(const QString &column) const;
    qint64 asInteger(const QString &column) const;     // null reads as 0
    QDateTime asDateTime(const QString &column) const; // null reads as an invalid value

    // Makes current the first row whose column equals the value as a whole; the current row
    // stays where it was when none does.
    bool locate(const QString &column, const QVariant &value);

Q_SIGNALS:
    void opened();
    void aboutToClose();
    void closed();
    void currentRowChanged(int row);

private:
    int requireColumn(const QString &name) const;
    void requireOpen() const;

    Connection *m_connection = nullptr;
    QList<FieldDef> m_fields;
    QString m_tableName;
    QString m_sql;
    QList<QPair<QString, QVariant>> m_parameters;
    bool m_open = false;
    QStringList m_columns;
    // One stored column per result column: a QVariant is made only for a cell that is read.
    std::vector<Column> m_store;
    std::vector<OddValue> m_oddValues;
    int m_rowCount = 0;
    int m_current = 0;
};

} // namespace db
