#pragma once

#include "error.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace db {

class Engine;

constexpr auto databaseFileName = "Vazuvede.adat";
// Several program instances and workstations share the data: a writer waits this long for
// another's lock.
constexpr int busyTimeoutMs = 8000;

// The one connection to the department's data: an encrypted database file, or the database
// server that the program folder's connection file names. Which engine holds the data is
// decided while opening and asked nowhere else: every difference is an operation of the
// engine. Never creates a file unless asked to (only the database tool does); proves the
// file's key with one read while opening.
class Connection
{
public:
    enum class Mode {
        Existing,           // the program: the current schema version
        ExistingAnyVersion, // upgrade and check: any schema version
        CreateNew           // the database tool: the file must not exist yet
    };
    // What the department's data is opened for; the file's use lock follows from it.
    enum class Use {
        Work,   // the program and the tool's everyday commands: the current schema version
        Upkeep, // upgrade and check: any schema version
        Alone,  // the current schema version, and nobody else may work on the data meanwhile
        Restore // nobody else may work on the data; the data itself is not opened
    };

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // The department's data, the one way in for the program, the tool and the tests: the
    // server when the program folder's connection file names one, the folder's database file
    // otherwise. Throws db::Error with a Hungarian message that names the file or server.
    void openDepartment(const QString &programDir, Use use = Use::Work);
    // The program folder's database file, whatever the connection file says: the move to the
    // server reads it.
    void openDepartmentFile(const QString &programDir, Use use);
    // A database file by its path (the database tool, a backup, the move to the server).
    void open(const QString &path, Mode mode = Mode::Existing);
    // A server database by its libpq connection text (the move to the server).
    void openServer(const QString &connectionText, Mode mode = Mode::Existing);
    void close();
    bool isOpen() const { return m_engine != nullptr; }
    // The file's path, or the server database's description.
    QString path() const;

    // Runs one or more statements that return no rows.
    void execute(const QString &sql);
    // Runs a statement and returns the first column of its first row (null when no row).
    QVariant scalar(const QString &sql);

    int schemaVersion();
    bool inTransaction() const;
    // A statement failed inside the transaction and the engine undid it; only a rollback (to
    // a savepoint) goes on. Never true for the file, which undoes failed statements alone.
    bool transactionFailed() const;
    qint64 lastInsertRowId();

    // The text that reads a whole table or saved query by name.
    static QString selectAllText(const QString &name);

    // The engine behind the connection, for the work that differs between engines (backup,
    // upgrade, checks). Throws db::Error when the connection is closed.
    Engine &engine() const;

private:
    std::unique_ptr<Engine> m_engine;
};

// A plain identifier (a table, saved query, column or savepoint name): ASCII letters, digits
// and '_', not starting with a digit; both engines read it as it stands. Throws db::Error for
// anything else.
QString plainIdentifier(const QString &name);

} // namespace db
