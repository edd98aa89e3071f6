#pragma once

#include <QList>
#include <QString>

namespace db {
class ServerSession;
}

// Moving a department up from its database file to the database server: the schema is made
// on an empty server database and every row of the file copied into it, keeping HIV_SZAM.
namespace db::servermove {

struct TableCount
{
    QString table;
    qint64 fileRows = 0;
    qint64 serverRows = 0;
};

// Creates the schema on the session's database, which must hold no tables yet, copies every
// table of the file in one transaction, sets the HIV_SZAM sequence after the highest number
// the file ever gave, and compares the row counts before committing. A program role, when
// given, gets its rights in the same transaction. Throws db::Error with a Hungarian message
// (and leaves the server database as it was) when anything fails.
QList<TableCount> moveFile(const QString &filePath, ServerSession &session,
                           const QString &programRole = {});

} // namespace db::servermove
