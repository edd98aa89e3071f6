#pragma once

#include "db/upkeep.h"

namespace db {
class Connection;
}

#include <QList>
#include <QString>

namespace testsupport {

// True in the runs CTest starts on a throw-away database cluster (the <test>_server tests):
// their program folders name a server database instead of holding a file.
bool serverEngine();

// A new, empty database on the test cluster; returns its connection text. The PG* variables
// of the cluster supply host, port, user and password.
QString newServerDatabase();

// A new database holding what the given fresh database file holds, moved up from that file
// once per test program and copied from there.
QString newProgramServerDatabase(const QString &templateFile);

// Moves a database file up to an empty server database, as the administration tool does.
QList<db::TableCount> moveUp(const QString &file, const QString &server, const QString &role = {});

// The rows of the program's tables in a database together; 0 for a database without them.
qint64 programRows(db::Connection &connection);

// True when the server database holds no table or saved query of its own.
bool isEmptyServerDatabase(const QString &server);

// The connection text of the cluster's own maintenance database.
QString maintenanceDatabase();

} // namespace testsupport
