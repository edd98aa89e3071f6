#pragma once

#include "upkeep.h"
#include "valuetype.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

namespace db {

class Connection;

// One prepared statement of an engine. Parameters are numbered from 1; values are read from
// the current row by column, valid until the next step.
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;

    // The rows are read once, in order, and may be too many to hold at once.
    virtual void setStreaming(bool streaming) = 0;

    virtual int parameterCount() const = 0;
    virtual QString parameterName(int index) const = 0;        // without the ':'; empty for '?'
    virtual int parameterIndex(const QString &name) const = 0; // ":Name"; 0 when absent
    virtual void bindNull(int index) = 0;
    virtual void bindInteger(int index, qint64 value) = 0;
    virtual void bindFloat(int index, double value) = 0;
    virtual void bindText(int index, QByteArrayView utf8) = 0;
    virtual void bindBlob(int index, QByteArrayView bytes) = 0;

    virtual bool step() = 0;
    virtual void reset() = 0;

    virtual int columnCount() = 0;
    // The name as the program's tables and queries spell it.
    virtual QString columnName(int column) = 0;
    virtual ValueType type(int column) const = 0;
    virtual qint64 int64(int column) const = 0;
    virtual double float64(int column) const = 0;
    virtual QByteArrayView utf8(int column) const = 0;
    virtual QByteArray blob(int column) const = 0;
};

// One open database of either engine: the encrypted file or the database server. Everything
// that differs between the two is an operation here, so no caller asks which one it has.
class Engine
{
public:
    virtual ~Engine() = default;

    // The file's path, or the server database's description.
    virtual QString description() const = 0;

    virtual std::unique_ptr<EngineStatement> prepare(const QString &sql) = 0;
    // One or more statements that return no rows.
    virtual void execute(const QString &sql) = 0;

    // Starts a transaction that will write, waiting at most busyTimeoutMs for another's lock.
    virtual void beginWrite() = 0;
    virtual bool inTransaction() const = 0;
    // A statement failed inside the transaction and the engine undid it; only a rollback (to
    // a savepoint) goes on.
    virtual bool transactionFailed() const = 0;
    // See WriteTransaction::guardTable and guardRow.
    virtual void guardTable(const QString &table) = 0;
    virtual void guardRow(const QString &table, const QString &keyColumn, qint64 key) = 0;
    virtual qint64 lastInsertId() = 0;

    // The schema version the database carries; 0 for one without the program's tables.
    virtual int schemaVersion() = 0;
    // Makes the program's tables, indexes and saved queries of the version in an empty
    // database, in the caller's write transaction.
    virtual void createSchema(int version) = 0;
    // The oldest schema version this engine's data can be brought up from.
    virtual int oldestUpgradableVersion() const = 0;
    // The steps that bring the schema from a version to the current one without losing a
    // row, the new version number last; run in one write transaction.
    virtual QStringList upgradeSteps(int fromVersion) = 0;
    // What the engine really made of each table and index: for the check against the
    // description.
    virtual SchemaShape shape() = 0;
    // The highest number a serial column ever gave, even to a row no longer there.
    virtual qint64 highestSerial(const QString &table, const QString &column) = 0;
    // The text that reads the columns of a table in the order its rows were written.
    virtual QString writtenOrderText(const QString &table, const QStringList &columns) const = 0;

    // The engine's own check of its storage: one problem a line, empty when it is whole;
    // what it looked at goes to checked.
    virtual QStringList storageProblems(QStringList &checked) = 0;
    // A backup of the data as it is now, in the folder (made when missing), checked against
    // the data before it is reported made; nothing is left of one that failed.
    virtual BackupResult backup(const QString &folder, const QDateTime &moment) = 0;
    // Puts a backup in the data's place; on any failure the data stays as it was.
    virtual RestoreResult restore(const QString &backupPath, const QDateTime &moment) = 0;
    // Fills this database, which must be empty, with every row of the source in one
    // transaction (each number kept, new numbers going on after the highest the source ever
    // gave) and compares the counts; a program role, when given, may then read and write the
    // data but change no schema.
    virtual QList<TableCount> takeOver(Connection &source, const QString &programRole) = 0;

    // Many rows are written at once (the generator): the engine may widen its caches.
    virtual void setBulkWriting(bool bulk) = 0;
    // Bytes the engine keeps in its page cache now (for the measurements), 0 when it keeps
    // none in this process.
    virtual qint64 cacheBytes() const = 0;
};

} // namespace db
