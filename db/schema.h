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

// Writes the reference data of a fresh file: the events (ESEMENY) and intervention types
// (BEAV_TIP) of both kinds, and list 0 of an outpatient department.
void insertReferenceData(Connection &connection);

// Creates a new database file with the current schema and the reference data; refuses a
// file that already exists (db::Error).
void createDatabase(const QString &path);

// Brings an older file up to date without losing a row; returns the version it had.
int upgradeDatabase(const QString &path);

} // namespace db::schema
