#include "uselock.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

// The one spot with POSIX file locking. On Windows the counterpart is CreateFileW with
// FILE_SHARE_READ | FILE_SHARE_WRITE and OPEN_ALWAYS, then LockFileEx with
// LOCKFILE_FAIL_IMMEDIATELY (plus LOCKFILE_EXCLUSIVE_LOCK for a restore) over byte 0, and
// CloseHandle to release.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

// Open-file-description locks belong to the open file, not the process: closing another
// descriptor of the same file (as SQLite does) never drops them, and two of them conflict in
// one process too. Where the system has none, classic record locks do the same between
// processes.
#ifdef F_OFD_SETLK
constexpr int setLockCommand = F_OFD_SETLK;
#else
constexpr int setLockCommand = F_SETLK;
#endif

} // namespace

UseLock::~UseLock()
{
    unlock();
}

QString UseLock::sideFilePath(const QString &databasePath)
{
    // The program may reach the file through a link in its own folder and the tool through
    // the data folder: both must lock the same side file.
    const QString real = QFileInfo(databasePath).canonicalFilePath();
    return (real.isEmpty() ? databasePath : real) + QStringLiteral("-zar");
}

UseLock::Result UseLock::tryLock(const QString &databasePath, Kind kind)
{
    unlock();
    m_error.clear();
    const QByteArray path = sideFilePath(databasePath).toLocal8Bit();
    // Everyone of the group works on the same folder: the side file is theirs to lock too.
    int handle = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0660);
    if (handle < 0 && errno == EACCES && kind == Kind::Shared)
        handle = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Unavailable;
    }
    struct stat info = {};
    if (::fstat(handle, &info) == 0 && info.st_uid == ::geteuid() && (info.st_mode & 0777) != 0660)
        ::fchmod(handle, 0660);

    struct flock request = {};
    request.l_type = kind == Kind::Exclusive ? F_WRLCK : F_RDLCK;
    request.l_whence = SEEK_SET;
    request.l_start = 0;
    request.l_len = 1;
    if (::fcntl(handle, setLockCommand, &request) != 0) {
        const int error = errno;
        ::close(handle);
        if (error == EAGAIN || error == EACCES)
            return Result::Busy;
        m_error = QString::fromLocal8Bit(std::strerror(error));
        return Result::Unavailable;
    }
    m_handle = handle;
    return Result::Locked;
}

void UseLock::unlock()
{
    if (m_handle < 0)
        return;
    ::close(m_handle);
    m_handle = -1;
}

} // namespace db
