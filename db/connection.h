#pragma once

#include "error.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

struct sqlite3;

namespace db {

constexpr auto databaseFileName = "Vazuvede.adat";
// Decrypted pages kept in memory (16 MB at most): a list of 100,000 members read through its
// covering index fits, so reading it again after a member dialog decrypts nothing twice.
constexpr auto pageCachePragma = "PRAGMA cache_size = -16384";
// Several program instances share one file: a writer waits this long for another's lock.
constexpr int busyTimeoutMs = 8000;

// How long this connection has been waiting for another instance's lock; see waitForTurn.
struct LockWait
{
    qint64 startedMs = 0;
    quint32 jitter = 0;
};

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
    LockWait m_lockWait;
};

} // namespace db
