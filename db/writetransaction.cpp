#include "writetransaction.h"

#include "connection.h"
#include "engine.h"
#include "error.h"

namespace db {

WriteTransaction::WriteTransaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.engine().beginWrite();
}

WriteTransaction::~WriteTransaction()
{
    if (m_done || !m_connection.inTransaction())
        return;
    try {
        m_connection.execute(QStringLiteral("ROLLBACK"));
    } catch (...) {
        // A lost connection has undone the transaction by itself.
    }
}

bool WriteTransaction::isOpen() const
{
    return m_connection.inTransaction() && !m_connection.transactionFailed();
}

void WriteTransaction::guardTable(const QString &table)
{
    m_connection.engine().guardTable(plainIdentifier(table));
}

void WriteTransaction::guardRow(const QString &table, const QString &keyColumn, qint64 key)
{
    m_connection.engine().guardRow(plainIdentifier(table), plainIdentifier(keyColumn), key);
}

void WriteTransaction::commit()
{
    if (!isOpen())
        throw Error(QStringLiteral("Az adatbázis a hiba miatt már visszavonta a módosításokat"),
                    ErrorKind::Aborted);
    m_connection.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

void WriteTransaction::rollback()
{
    m_done = true;
    if (m_connection.inTransaction())
        m_connection.execute(QStringLiteral("ROLLBACK"));
}

} // namespace db
