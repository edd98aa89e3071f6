#pragma once

#include <QString>

namespace db {

// A lock on a small side file beside the database ("Vazuvede.adat-zar"). An idle SQLite
// connection holds no lock on the database file itself, so every program instance and the
// administration tool hold a shared lock here for as long as they use the file, and a restore
// takes it exclusively: it is refused while anybody else works on the file, and nobody starts
// meanwhile. The lock belongs to this object (not the process), so it conflicts with a second
// UseLock even in the same process; the system drops it when the process ends.
class UseLock
{
public:
    enum class Kind { Shared, Exclusive };
    enum class Result {
        Locked,     // held now
        Busy,       // another holds a lock that conflicts
        Unavailable // the side file cannot be opened or made (the folder is missing or read-only)
    };

    UseLock() = default;
    ~UseLock();
    UseLock(const UseLock &) = delete;
    UseLock &operator=(const UseLock &) = delete;

    // Never waits. A lock held already is released first.
    Result tryLock(const QString &databasePath, Kind kind);
    void unlock();
    bool isLocked() const { return m_handle >= 0; }
    // Why the last tryLock() answered Unavailable, in the system's words.
    QString errorString() const { return m_error; }

    static QString sideFilePath(const QString &databasePath);

private:
    int m_handle = -1;
    QString m_error;
};

} // namespace db
