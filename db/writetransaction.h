#pragma once

namespace db {

class Connection;

// BEGIN IMMEDIATE at once, so that a writer waits for the lock instead of deadlocking halfway.
// Rolled back on destruction unless committed; SQLite may already have rolled it back by
// itself after a disk-full, I/O or busy error, which isOpen() tells.
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

private:
    Connection &m_connection;
    bool m_done = false;
};

} // namespace db
