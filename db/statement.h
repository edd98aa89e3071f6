#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>

struct sqlite3_stmt;

namespace db {

class Connection;

// The kind of value a column of the current row holds.
enum class ValueType { Null, Integer, Float, Text, Blob };

// A prepared statement; parameters are 1-based or named (":Name").
class Statement
{
public:
    Statement(Connection &connection, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QVariant &value);
    void bind(const QString &name, const QVariant &value);
    // True while a row is current; false when the statement has finished.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    ValueType type(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;
    // The value as UTF-8 text, without a copy: valid until the next step or another read of
    // the same column as another type.
    QByteArrayView utf8(int column) const;
    QVariant value(int column) const; // by the value's own SQLite type
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace db
