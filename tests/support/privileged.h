#pragma once

#include <QString>
#include <QStringList>

// Failures that a test running as root can only make real through the system: a small
// file system that fills up, a folder nobody else may write, another user's process.
// POSIX only (mount, setpriv); on Windows such tests would use a VHD of fixed size instead.
namespace testsupport {

bool runningAsRoot();

// A tmpfs of the given size mounted on an existing folder while the object lives.
class TmpfsMount
{
public:
    TmpfsMount(const QString &folder, qint64 bytes, const QString &options = {});
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool isMounted() const { return m_mounted; }
    QString error() const { return m_error; }
    // Remounts it read-only or writable again.
    bool remount(bool readOnly);

private:
    QString m_folder;
    bool m_mounted = false;
    QString m_error;
};

// Fills the file system of the folder with one file until only `leave` bytes are free.
// Returns the filler's path.
QString fillDisk(const QString &folder, qint64 leave);

// The process's file-creation mask set for the object's lifetime (POSIX umask; Windows has
// no counterpart, its rights come from the folder).
class ScopedUmask
{
public:
    explicit ScopedUmask(unsigned mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    unsigned m_earlier;
};

// Runs the program as the unprivileged user "nobody" and returns its exit code (-1 when it
// could not be started); its standard output and error are appended to `output`.
int runAsNobody(const QString &program, const QStringList &arguments, QString *output = nullptr);

} // namespace testsupport
