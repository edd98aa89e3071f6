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

// Stops the run's throw-away cluster as a shutdown or restart does (the server ends every
// session on it), or starts it again; each returns once the server is down or takes sessions.
void stopServer();
void startServer();

// The cluster stopped while it lives: a test that fails halfway still leaves it running.
class StoppedServer
{
public:
    StoppedServer() { stopServer(); }
    ~StoppedServer();
    StoppedServer(const StoppedServer &) = delete;
    StoppedServer &operator=(const StoppedServer &) = delete;
    void start();

private:
    bool m_stopped = true;
};

// The first time only, the session that runs the trigger's statement is ended by the server
// right there, as a server that goes away halfway would; a second try goes through. when is
// an AFTER trigger's event on a table ("AFTER INSERT ON LOG"); deferred runs the trigger at
// COMMIT instead. breaks() counts how often the trigger ran.
void breakSessionOnce(db::Connection &connection, const QString &name, const QString &when,
                      bool deferred = false);
qint64 breaks(db::Connection &connection, const QString &name);

} // namespace testsupport
