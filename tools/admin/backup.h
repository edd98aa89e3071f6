#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>

namespace db {
class Connection;
}

// Backing the database file up while the program keeps working on it, restoring a backup,
// and checking a file. Every file made is encrypted with the program's key like the
// original, readable and writable by the owner and the group only.
namespace admin {

// Rows per table (sqlite_sequence included), by table name.
using RowCounts = QMap<QString, qint64>;

RowCounts rowCounts(db::Connection &connection);
// What PRAGMA integrity_check finds, one problem a line; empty when the file is intact.
QStringList integrityProblems(db::Connection &connection);

struct BackupResult
{
    QString path;
    RowCounts counts;
};

// "Vazuvede-20261209-235900.adat".
QString backupFileName(const QDateTime &moment);

// Copies the open file, page by page through the engine, into a new file in the folder (made
// when missing), as one consistent picture of the moment: other instances go on reading, and
// a writer waits at most a moment. The copy is then opened and checked (integrity, the rows of
// every table against the source); a copy that fails is removed. Throws db::Error.
BackupResult backupDatabase(const QString &databasePath, const QString &folder,
                            const QDateTime &moment);

struct RestoreResult
{
    QString keptPath; // the replaced file, beside the database; empty when there was none
    RowCounts counts;
};

// Puts the backup in the database's place. The caller holds the database's use lock
// exclusively, so nobody works on the file meanwhile. The backup is copied beside the
// database and checked first; the replaced file is kept as "Vazuvede.adat.regi-<moment>"; the
// result is opened and checked again, and on any failure the replaced file goes back.
// Throws db::Error.
RestoreResult restoreDatabase(const QString &databasePath, const QString &backupPath,
                              const QDateTime &moment);

struct CheckResult
{
    bool intact = false;
    QString verdict; // plain Hungarian, several lines
};

// Opens the file with the program's key and checks every page and index of it.
CheckResult checkDatabase(const QString &path);

} // namespace admin
