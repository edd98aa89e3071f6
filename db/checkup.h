#pragma once

#include <QString>

namespace db {

class Connection;

struct Checkup
{
    bool intact = false;
    QString verdict; // plain Hungarian, several lines: what was checked and what was found
};

// Checks an open database, whichever engine holds it: the engine's own storage, that every
// table, column and saved query of its schema version is there, that the rows hang together
// (every LOG row belongs to an entry, every entry's event and list exist), and counts the rows.
Checkup checkDatabase(Connection &connection);

// The verdict on a database that could not even be opened.
Checkup unusableDatabase(const QString &where, const QString &why);

} // namespace db
