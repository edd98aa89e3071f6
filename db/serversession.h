#pragma once

#include "error.h"

#include <QByteArray>
#include <QString>

struct pg_conn;
struct pg_result;

namespace db {

// One session with the department's database server (libpq). Opened with the connection
// text of the program folder's connection file; every session reads M/D/YYYY days, writes
// ISO days, keeps the workstation's time zone for NOW() and waits at most busyTimeoutMs for
// another workstation's lock.
class ServerSession
{
public:
    enum class Check {
        ProgramSchema, // the program: the program's tables at the current version must be there
        None           // the administration tool: an empty database is fine
    };

    // Throws db::Error with a Hungarian message: server out of reach, login refused,
    // database without the program's tables.
    ServerSession(const QString &connectionText, Check check);
    ~ServerSession();
    ServerSession(const ServerSession &) = delete;
    ServerSession &operator=(const ServerSession &) = delete;

    pg_conn *handle() const { return m_conn; }
    QString description() const { return m_description; }

    // Runs one or more statements without parameters (the simple protocol).
    void execute(const QString &sql);
    bool inTransaction() const;
    // A statement failed inside the transaction: only a rollback (to a savepoint) goes on.
    bool transactionFailed() const;
    qint64 lastInsertId();
    int schemaVersion();

    // Throws the db::Error for a failed result (and frees it); returns it when it succeeded.
    pg_result *checked(pg_result *result) const;
    [[noreturn]] void fail(pg_result *result) const;

private:
    pg_conn *m_conn = nullptr;
    QString m_description;
};

// The Hungarian lead of a server error, and the SQLite result code of the same kind of
// failure, so that callers need not know which engine answered.
struct ServerErrorKind
{
    QString lead;
    int code = 0;
};
ServerErrorKind serverErrorKind(const QByteArray &sqlState);

} // namespace db
