#pragma once

#include "db/error.h"

#include <QString>

struct sqlite3;

// The file engine's failures as the program reports them: a Hungarian sentence first, the
// engine's own words after it.
namespace db::fileerror {

ErrorKind kindOf(int rc);

// The error of a failed result code, with the connection's message when there is one. A
// databasePath lets a failure that comes from a folder the user may not write say so.
Error engineError(sqlite3 *db, int rc, const QString &databasePath = {});

// True for a failure to make or remove the journal beside the file in a folder this user may
// not write.
bool folderRefusesWriting(const QString &databasePath, int rc);

} // namespace db::fileerror
