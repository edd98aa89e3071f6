#pragma once

#include <QString>

namespace db {
class ServerSession;
}

// The program's tables, saved queries (views) and indexes on the database server: the same
// names and columns as in the file, with the server's own types (the entries' days as dates,
// the log's moments as timestamps, widths as varchar).
namespace db::serverschema {

// Creates everything in one transaction, at the current schema version; refuses a database
// that already holds any of the program's tables.
void create(ServerSession &session);
// The same inside the caller's transaction.
void createObjects(ServerSession &session);

// Lets a login role read and write the data (LOG only grows) but change nothing of the
// schema: the role the workstations connect with.
void grantProgramRole(ServerSession &session, const QString &role);

// The rows of the program's tables together; 0 for a database without them.
qint64 rowCount(ServerSession &session);

// True when the database holds any table or view of its own (beyond the server's catalogs).
bool hasOwnObjects(ServerSession &session);

} // namespace db::serverschema
