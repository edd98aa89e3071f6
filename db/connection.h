#pragma once

#include "error.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

constexpr auto databaseFileName = "Vazuvede.adat";
// Several program instances share one file: a writer waits this long for another's lock.
constexpr int busyTimeoutMs = 8000;

// The one connection to an encrypted database file. Never creates a file unless asked to
// (only the database tool does); proves the key with one read while opening.
class Connection
{
public:
    enum class Mode {
        Existing,           // the program: the file must exist and carry the current schema version
        ExistingAnyVersion, // the tool's upgrade: the file must exist, any schema version
        CreateNew           // the tool: the file must not exist yet
    };

    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Throws db::Error with a Hungarian message that names the file.
    void open(const QString &path, Mode mode = Mode::Existing);
    void close();
    bool isOpen() const { return m_db != nullptr; }
    QString path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void execute(const QString &sql);
    // Runs a statement and returns the first column of its first row (null when no row).
    QVariant scalar(const QString &sql);

    int userVersion();
    bool inTransaction() const;
    qint64 lastInsertRowId() const;

    sqlite3 *handle() const { return m_db; }
    // Throws db::Error with the engine's message for a failed result code.
    void check(int rc) const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

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
    bool isNull(int column) const;
    qint64 int64(int column) const;
    QString text(int column) const;
    QVariant value(int column) const; // by the value's own SQLite type
    sqlite3_stmt *handle() const { return m_stmt; }

private:
    Connection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};

// BEGIN IMMEDIATE at once, so that a writer waits for the lock instead of deadlocking halfway.
// Rolled back on destruction unless committed; SQLite may already have rolled it back by
// itself after a disk-full, I/O or busy error, which isOpen() tells.
class WriteTransaction
{
public:
    explicit WriteTransaction(Connection &connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    bool isOpen() const;
    void commit();
    void rollback();

private:
    Connection &m_connection;
    bool m_done = false;
};

// A savepoint inside a transaction: a failed step is undone alone and the transaction goes on.
class Savepoint
{
public:
    Savepoint(Connection &connection, const QString &name);
    ~Savepoint();
    void release();
    void rollback();

private:
    Connection &m_connection;
    QString m_name;
    bool m_done = false;
};

} // namespace db
