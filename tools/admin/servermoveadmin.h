#pragma once

#include "db/servermove.h"

#include <QList>
#include <QString>

namespace admin {

// Moving the program folder's database file up to the database server, as the tool does it:
// nobody may work on the file meanwhile (a write after the copy would be lost), the server
// database must be empty, and the role the workstations use may afterwards read and write
// the data but not change the schema.
class ServerMoveAdmin
{
public:
    ServerMoveAdmin(const QString &databasePath, const QString &connectionText);

    // Throws db::Error with a Hungarian message; the server database stays empty then.
    QList<db::servermove::TableCount> move(const QString &programRole = {});

    QString serverDescription() const { return m_description; }

private:
    QString m_databasePath;
    QString m_connectionText;
    QString m_description;
};

} // namespace admin
