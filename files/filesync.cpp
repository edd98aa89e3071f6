#include "filesync.h"

#include <QFile>
#include <QFileDevice>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace files::filesync {

std::error_code syncFile(QFileDevice &file)
{
    const int fd = file.handle();
    if (fd < 0)
        return std::make_error_code(std::errc::bad_file_descriptor);
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return {errno, std::generic_category()};
    }
    return {};
}

std::error_code syncFolder(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {errno, std::generic_category()};
    std::error_code result;
    while (::fsync(fd) != 0) {
        // Some file systems cannot sync a folder at all; the rename is then as durable as
        // they make it.
        if (errno == EINVAL || errno == EROFS)
            break;
        if (errno != EINTR) {
            result = {errno, std::generic_category()};
            break;
        }
    }
    ::close(fd);
    return result;
}

} // namespace files::filesync
