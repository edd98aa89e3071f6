#include "writetransaction.h"

#include "connection.h"
#include "error.h"

#include <sqlite3.h>

namespace db {

WriteTransaction::WriteTransaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

WriteTransaction::~WriteTransaction()
{
    if (!m_done && isOpen())
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool WriteTransaction::isOpen() const
{
    return m_connection.inTransaction();
}

void WriteTransaction::commit()
{
    if (!isOpen())
        throw Error(QStringLiteral("Az adatbázis a hiba miatt már visszavonta a módosításokat"));
    m_connection.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

void WriteTransaction::rollback()
{
    m_done = true;
    if (isOpen())
        m_connection.execute(QStringLiteral("ROLLBACK"));
}

} // namespace db
