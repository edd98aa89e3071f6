#pragma once

#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"
#include "serverdialect.h"

#include <QByteArray>
#include <QString>

#include <functional>

struct pg_conn;
struct pg_result;

namespace db {

// The department's data on a database server (libpq). Every session reads M/D/YYYY days,
// writes ISO days, keeps the workstation's time zone for NOW() and waits at most
// busyTimeoutMs for another workstation's lock.
// A server that restarts ends the session: the next statement opens a new one and goes on.
// A statement is sent again only when that can change nothing (a read, BEGIN); a transaction
// whose connection broke fails in every further statement until its owner rolls it back, and
// a COMMIT or a write whose answer was lost is never sent again: the person is told instead.
class ServerEngine final : public Engine
{
public:
    // Existing: the program's tables at the current version must be there; the other modes
    // take any database (the administration tool, the move to the server). Throws db::Error
    // with a Hungarian message: server out of reach, login refused, database without the
    // program's tables.
    ServerEngine(const QString &connectionText, Connection::Mode mode);
    ~ServerEngine() override;
    ServerEngine(const ServerEngine &) = delete;
    ServerEngine &operator=(const ServerEngine &) = delete;

    QString description() const override { return m_description; }
    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;
    // One or more statements without parameters (the simple protocol).
    void execute(const QString &sql) override;
    void beginWrite() override;
    bool inTransaction() const override;
    bool transactionFailed() const override;
    void guardTable(const QString &table) override;
    void guardRow(const QString &table, const QString &keyColumn, qint64 key) override;
    qint64 lastInsertId() override;

    int schemaVersion() override;
    void createSchema(int version) override;
    int oldestUpgradableVersion() const override { return 2; }
    QStringList upgradeSteps(int fromVersion) override;
    SchemaShape shape() override;
    QString writtenOrderText(const QString &table, const QStringList &columns) const override;
    qint64 highestSerial(const QString &table, const QString &column) override;
    QList<TableCount> takeOver(Connection &source, const QString &programRole) override;

    QStringList storageProblems(QStringList &checked) override;
    BackupResult backup(const QString &folder, const QDateTime &moment) override;
    RestoreResult restore(const QString &backupPath, const QDateTime &moment) override;

    // The server keeps its pages itself.
    void setBulkWriting(bool) override {}
    qint64 cacheBytes() const override { return 0; }

    pg_conn *handle() const { return m_conn; }
    // Sends one statement of the given role by send, which returns its first result, over a
    // session that is there: one the server ended while nobody used it is opened anew first.
    // Returns the result as the server gave it; a broken connection throws db::Error of kind
    // Disconnected, except for a Rerunnable statement, which is sent once more on a new
    // session, and a Rollback, which the broken connection has done already.
    pg_result *exchange(serverdialect::Role role, const std::function<pg_result *()> &send);
    // A statement without parameters through exchange, its result checked.
    pg_result *exec(const QByteArray &sql);
    // The first column of the first row of a statement without parameters, as a number; 0
    // when there is none.
    qint64 number(const QByteArray &sql);
    // Throws the db::Error for a failed result (and frees it); returns it when it succeeded.
    pg_result *checked(pg_result *result);
    [[noreturn]] void fail(pg_result *result);
    // Ends a transaction that failed, whatever state its connection is in.
    void abandonTransaction();

private:
    // The session settings every new session gets.
    void startSession();
    // False when the server has ended the idle session (its last words are read here).
    bool sessionAlive();
    // A new session in place of a lost one; throws db::Error when the server cannot be reached.
    void reconnect();
    // The connection broke under the last statement sent: throws what that means for its data.
    [[noreturn]] void lose();
    // Rows of each of the program's tables.
    RowCounts rowCounts();

    pg_conn *m_conn = nullptr;
    QString m_connectionText;
    QString m_description;
    // The connection broke inside a transaction: the server has undone it, and only its
    // owner's rollback ends the failure.
    bool m_lostTransaction = false;
    // What was sent last, and whether the session was inside a transaction when last seen,
    // for a break noticed outside exchange (while reading a stream, while copying).
    serverdialect::Role m_sentRole = serverdialect::Role::Write;
    bool m_sentInTransaction = false;
};

} // namespace db
