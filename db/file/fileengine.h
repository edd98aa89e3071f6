#pragma once

#include "uselock.h"

#include "db/connection.h"
#include "db/engine.h"

#include <QByteArray>
#include <QString>

#include <memory>

struct sqlite3;

namespace db {

// How long this connection has been waiting for another instance's lock; see waitForTurn.
struct LockWait
{
    qint64 startedMs = 0;
    quint32 jitter = 0;
};

// The department's data in one SQLCipher file. The key goes to sqlite3_key only and is
// proved by one read while opening, so a wrong key or a damaged file shows at once.
class FileEngine final : public Engine
{
public:
    // Opens the file; takes no use lock.
    FileEngine(const QString &path, Connection::Mode mode);
    // The department's file, holding the use lock the use asks for while the engine lives.
    static std::unique_ptr<FileEngine> openDepartmentFile(const QString &path, Connection::Use use);
    ~FileEngine() override;
    FileEngine(const FileEngine &) = delete;
    FileEngine &operator=(const FileEngine &) = delete;

    // The key that protects every file of the program.
    static QByteArray key();
    // How often a file connection of this process has begun to wait for another's lock: a
    // test sees by it that a second workstation's save waits rather than goes through.
    static int lockWaitsBegun();

    QString description() const override { return m_path; }
    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;
    void execute(const QString &sql) override;
    void beginWrite() override;
    bool inTransaction() const override;
    bool transactionFailed() const override { return false; }
    // The file's transaction holds the whole file already.
    void guardTable(const QString &) override {}
    void guardRow(const QString &, const QString &, qint64) override {}
    qint64 lastInsertId() override;

    int schemaVersion() override;
    void createSchema(int version) override;
    int oldestUpgradableVersion() const override { return 1; }
    QStringList upgradeSteps(int fromVersion) override;
    SchemaShape shape() override;
    QString writtenOrderText(const QString &table, const QStringList &columns) const override;
    qint64 highestSerial(const QString &table, const QString &column) override;
    // The file is made from its own description only; nothing is copied into it.
    QList<TableCount> takeOver(Connection &source, const QString &programRole) override;

    QStringList storageProblems(QStringList &checked) override;
    BackupResult backup(const QString &folder, const QDateTime &moment) override;
    RestoreResult restore(const QString &backupPath, const QDateTime &moment) override;

    void setBulkWriting(bool bulk) override;
    qint64 cacheBytes() const override;

    sqlite3 *handle() const;
    // Throws db::Error with the engine's message for a failed result code.
    void check(int rc) const;

private:
    explicit FileEngine(const QString &path);
    void open(Connection::Mode mode);
    void close();
    void requireVersion(Connection::Mode mode);

    UseLock m_lock;
    sqlite3 *m_db = nullptr;
    QString m_path;
    LockWait m_lockWait;
    qint64 m_cacheSizeBeforeBulk = 0;
};

} // namespace db
