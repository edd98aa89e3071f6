#pragma once

#include <QString>

namespace db {
class Connection;
}

// The layout of the database file: tables, saved queries (views), date triggers and
// indexes, with the schema version kept in PRAGMA user_version.
namespace db::schema {

// The version this program reads and writes. The program refuses any other.
constexpr int currentVersion = 2;

// The key that protects the file; it goes to sqlite3_key only, never into SQL text.
QByteArray databaseKey();

// Brings an open connection's schema from one version to another (0 = an empty file),
// in one write transaction: each version's steps in order, then the new user_version.
void migrate(Connection &connection, int fromVersion, int toVersion = currentVersion);

// What a new file holds besides its schema.
enum class Contents {
    Empty,          // the department's event kinds and list 0; the department defines its lists
    WithSampleLists // the same and a few waiting and patient-admission lists, for trying it out
};

// Writes what every department needs, in one write transaction: the event kinds (ESEMENY,
// "Várakozás" among them) and list 0, the single list of an outpatient department.
void insertReferenceData(Connection &connection);

// Writes a few waiting lists and patient-admission lists (BEAV_TIP), in the caller's write
// transaction or in one of its own.
// Lists for trying the program out, never made unasked: a real department defines its own.
void insertSampleLists(Connection &connection);

// Creates a new database file with the current schema and the reference data (and the sample
// lists when asked for); refuses a file that already exists (db::Error).
void createDatabase(const QString &path, Contents contents = Contents::Empty);

// Brings an older file up to date without losing a row; returns the version it had.
int upgradeDatabase(const QString &path);

} // namespace db::schema
