#pragma once

#include <QString>

#include <system_error>

class QFileDevice;

// Making written bytes durable: the one place where the safe save reaches past Qt to the
// operating system. POSIX here; the Windows counterparts are named beside each function.
namespace files::filesync {

// Pushes the open file's bytes down to the disk (POSIX fsync; on Windows FlushFileBuffers on
// _get_osfhandle(file.handle())). An empty code when it worked.
std::error_code syncFile(QFileDevice &file);

// Makes a rename inside the folder durable (POSIX fsync of the folder opened read-only; on
// Windows the rename itself is done with MoveFileEx and MOVEFILE_WRITE_THROUGH, and there is
// nothing to sync here).
std::error_code syncFolder(const QString &folder);

} // namespace files::filesync
