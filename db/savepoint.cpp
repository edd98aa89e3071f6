#include "savepoint.h"

#include "connection.h"

namespace db {

Savepoint::Savepoint(Connection &connection, const QString &name)
    : m_connection(connection)
    , m_name(plainIdentifier(name))
{
    m_connection.execute(QStringLiteral("SAVEPOINT ") + m_name);
}

Savepoint::~Savepoint()
{
    if (m_done || !m_connection.inTransaction())
        return;
    try {
        m_connection.execute(QStringLiteral("ROLLBACK TO ") + m_name + QStringLiteral("; RELEASE ")
                             + m_name);
    } catch (...) {
        // The transaction is gone already; its owner finds that out.
    }
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
