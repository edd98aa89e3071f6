#pragma once

#include <QString>

struct sqlite3;

namespace bench {

// The report as a plain C program would make it: the report query stepped, each row
// formatted into the same XML row with stdio, the file synced, renamed over the name and the
// folder synced, as the program's save does. Returns the bytes written, -1 on failure.
qint64 rawReport(sqlite3 *handle, const QString &path);

} // namespace bench
