#pragma once

#include <QString>
#include <QtGlobal>

namespace bench {

// Starts the program as its main() does, on the database in dir, up to the login window, and
// prints "seconds 0 key-seconds 0": the time from startedMs (the parent's monotonic clock when
// it started this process, so that loading the program counts too) until the login window is
// shown, and the time a bare opening of the file with the key takes: the key derivation's.
// The window is then closed as a user who gives up would close it.
int runStartup(int argc, char **argv, const QString &dir, qint64 startedMs);

} // namespace bench
