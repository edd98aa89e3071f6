#pragma once

#include <QString>

namespace db {
class ServerEngine;
}

// The program's tables, saved queries (views) and indexes on the database server: the
// description's columns with the server's own types (days as dates, moments as timestamps,
// widths as varchar), and the version in a table of its own.
namespace db::serverschema {

// Lets a login role read and write the data (LOG only grows) but change nothing of the
// schema: the role the workstations connect with.
void grantProgramRole(ServerEngine &server, const QString &role);

// True when the database holds any table or view of its own (beyond the server's catalogs).
bool hasOwnObjects(ServerEngine &server);

} // namespace db::serverschema
