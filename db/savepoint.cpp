#include "savepoint.h"

#include "connection.h"
#include "sqltext.h"

#include <QByteArray>

#include <sqlite3.h>

namespace db {

Savepoint::Savepoint(Connection &connection, const QString &name)
    : m_connection(connection)
    , m_name(quotedIdentifier(name))
{
    m_connection.execute(QStringLiteral("SAVEPOINT ") + m_name);
}

Savepoint::~Savepoint()
{
    if (m_done || !m_connection.inTransaction())
        return;
    const QByteArray sql
        = (QStringLiteral("ROLLBACK TO ") + m_name + QStringLiteral("; RELEASE ") + m_name)
              .toUtf8();
    sqlite3_exec(m_connection.handle(), sql.constData(), nullptr, nullptr, nullptr);
}

void Savepoint::release()
{
    m_connection.execute(QStringLiteral("RELEASE ") + m_name);
    m_done = true;
}

void Savepoint::rollback()
{
    m_connection.execute(QStringLiteral("ROLLBACK TO ") + m_name + QStringLiteral("; RELEASE ")
                         + m_name);
    m_done = true;
}

} // namespace db
