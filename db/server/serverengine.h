#pragma once

#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"

#include <QByteArray>
#include <QString>

struct pg_conn;
struct pg_result;

namespace db {

// The department's data on a database server (libpq). Every session reads M/D/YYYY days,
// writes ISO days, keeps the workstation's time zone for NOW() and waits at most
// busyTimeoutMs for another workstation's lock.
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
    // The first column of the first row of a statement without parameters, as a number; 0
    // when there is none.
    qint64 number(const QByteArray &sql);
    // Throws the db::Error for a failed result (and frees it); returns it when it succeeded.
    pg_result *checked(pg_result *result) const;
    [[noreturn]] void fail(pg_result *result) const;

private:
    // Rows of each of the program's tables.
    RowCounts rowCounts();

    pg_conn *m_conn = nullptr;
    QString m_connectionText;
    QString m_description;
};

} // namespace db
