#include "benchplatform.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace bench {

// The one platform-specific spot of the benchmark: Linux keeps the figures in
// /proc/self/status (VmRSS, VmHWM) and resets the peak through /proc/self/clear_refs; files
// and folders are synced with fsync. On Windows the counterparts are GetProcessMemoryInfo's
// WorkingSetSize and PeakWorkingSetSize (the peak cannot be reset there, so a case would take
// the peak of its whole process) and FlushFileBuffers (a folder needs no sync there).
namespace {

long statusField(const char *name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(name) + ':';
    while (std::getline(status, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return 0;
}

} // namespace

long residentKb()
{
    return statusField("VmRSS");
}

long peakResidentKb()
{
    return statusField("VmHWM");
}

void resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

bool syncFile(std::FILE *file)
{
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool syncFolder(const char *path)
{
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace bench
