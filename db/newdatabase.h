#pragma once

#include <QString>

namespace db {
class Connection;
}

// What a new database holds, and making one: the schema of the description and the data
// every department needs.
namespace db::schema {

// What a new database holds besides its schema.
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

// Makes the schema (at the given version) and the reference data in an empty database, in
// one write transaction.
void fillNewDatabase(Connection &connection, Contents contents = Contents::Empty, int version = -1);

// Creates a new database file with the current schema and the reference data (and the sample
// lists when asked for); refuses a file that already exists (db::Error).
void createDatabase(const QString &path, Contents contents = Contents::Empty);

// Brings an older database up to date in one write transaction, without losing a row;
// returns the version it had.
int upgradeDatabase(Connection &connection);
// The same for a database file.
int upgradeDatabase(const QString &path);

} // namespace db::schema
