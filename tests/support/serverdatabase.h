#pragma once

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

// The connection text of the cluster's own maintenance database.
QString maintenanceDatabase();

} // namespace testsupport
