#include "writetransaction.h"

#include "connection.h"
#include "error.h"
#include "serverdialect.h"

namespace db {

WriteTransaction::WriteTransaction(Connection &connection)
    : m_connection(connection)
{
    // The server locks rows and tables as they are written (or guarded); a writer waits for
    // another workstation's lock at most busyTimeoutMs.
    m_connection.execute(m_connection.isServer() ? QStringLiteral("BEGIN")
                                                 : QStringLiteral("BEGIN IMMEDIATE"));
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
    if (m_connection.isServer())
        m_connection.execute(QStringLiteral("LOCK TABLE ") + serverdialect::tableName(table)
                             + QStringLiteral(" IN SHARE ROW EXCLUSIVE MODE"));
}

void WriteTransaction::guardRow(const QString &table, const QString &keyColumn, qint64 key)
{
    if (m_connection.isServer())
        m_connection.execute(
            QStringLiteral("SELECT 1 FROM %1 WHERE %2 = %3 FOR UPDATE")
                .arg(serverdialect::tableName(table), serverdialect::tableName(keyColumn))
                .arg(key));
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
    if (m_connection.inTransaction())
        m_connection.execute(QStringLiteral("ROLLBACK"));
}

} // namespace db
