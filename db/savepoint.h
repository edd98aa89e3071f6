#pragma once

#include <QString>

namespace db {

class Connection;

// A savepoint inside a transaction: a failed step is undone alone and the transaction goes on.
class Savepoint
{
public:
    Savepoint(Connection &connection, const QString &name);
    ~Savepoint();
    Savepoint(const Savepoint &) = delete;
    Savepoint &operator=(const Savepoint &) = delete;
    void release();
    void rollback();

private:
    Connection &m_connection;
    QString m_name;
    bool m_done = false;
};

} // namespace db
