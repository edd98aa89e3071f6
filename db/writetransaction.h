#pragma once

#include <QString>

namespace db {

class Connection;

// A transaction that will write, begun so that a writer waits for another's lock instead of
// deadlocking halfway. Rolled back on destruction unless committed; the engine may already
// have undone it by itself after a disk-full, I/O or busy error, which isOpen() tells.
class WriteTransaction
{
public:
    explicit WriteTransaction(Connection &connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction &) = delete;
    WriteTransaction &operator=(const WriteTransaction &) = delete;

    bool isOpen() const;
    void commit();
    void rollback();

    // The transaction reads the table and writes by what it read (one department row):
    // another workstation's writer to it waits until this one ends. The file's transaction
    // holds the whole file already.
    void guardTable(const QString &table);
    // The transaction reads one row and writes by what it read (an entry's event): another
    // workstation's writer to that row waits until this one ends, and this one waits for
    // another's at most busyTimeoutMs, then throws db::Error. The file's transaction holds
    // the whole file already.
    void guardRow(const QString &table, const QString &keyColumn, qint64 key);

private:
    Connection &m_connection;
    bool m_done = false;
};

} // namespace db
