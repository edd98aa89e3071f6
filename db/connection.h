#pragma once

#include "error.h"
#include "valuetype.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>

struct sqlite3;

namespace db {

class ServerSession;
class ServerStatement;

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

// The one connection to the department's data: an encrypted database file, or the database
// server that the program folder's connection file names. Never creates a file unless asked
// to (only the database tool does); proves the key with one read while opening.
class Connection
{
public:
    enum class Mode {
        Existing,           // the program: the file must exist and carry the current schema version
        ExistingAnyVersion, // the tool's upgrade: the file must exist, any schema version
        CreateNew           // the tool: the file must not exist yet
    };

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Throws db::Error with a Hungarian message that names the file.
    void open(const QString &path, Mode mode = Mode::Existing);
    // The server of a libpq connection text; Existing checks the program's schema version,
    // the other modes take any database.
    void openServer(const QString &connectionText, Mode mode = Mode::Existing);
    // The program's own data: the server when the folder's connection file names one, the
    // folder's database file otherwise.
    void openProgramDatabase(const QString &programDir);
    void close();
    bool isOpen() const { return m_db != nullptr || m_server != nullptr; }
    bool isServer() const { return m_server != nullptr; }
    // The file's path, or the server database's description.
    QString path() const { return m_path; }

    // Runs one or more statements that return no rows.
    void execute(const QString &sql);
    // Runs a statement and returns the first column of its first row (null when no row).
    QVariant scalar(const QString &sql);

    int userVersion();
    bool inTransaction() const;
    // A statement failed inside the transaction and the server undid it; only a rollback (to
    // a savepoint) goes on. Never true for the file, which undoes failed statements alone.
    bool transactionFailed() const;
    qint64 lastInsertRowId() const;

    // The text that reads a whole table or saved query by name.
    QString selectAllText(const QString &name) const;
    // A savepoint's name as this engine's statements write it.
    QString savepointName(const QString &name) const;

    sqlite3 *handle() const { return m_db; }
    ServerSession *server() const { return m_server.get(); }
    // Throws db::Error with the engine's message for a failed result code.
    void check(int rc) const;

private:
    sqlite3 *m_db = nullptr;
    std::unique_ptr<ServerSession> m_server;
    QString m_path;
    LockWait m_lockWait;
};

} // namespace db
