#pragma once

#include <QString>

namespace bench {

// Runs one measured case in this process and prints "seconds peak-growth-KiB figure cache-KiB" on
// one line: the case's time, how far its peak resident memory rose over the opened database, and a
// figure of its own (the report's file size, the TAJ searches' rows),
// then the page cache the file's connection holds at the end, in KiB. A case whose name ends in
// "-server" (before any "-raw") works on the server database the connection text names instead of
// the folder's file. Returns the process's exit code.
int runCase(int argc, char **argv, const QString &name, const QString &dir,
            const QString &server = {});

} // namespace bench
