#pragma once

#include <cstdio>

// What the benchmark needs of the operating system: the process's resident memory in KiB for
// the memory columns, and the syncs of the raw report loop.
namespace bench {

// Resident memory now.
long residentKb();
// The highest resident memory since the process began, or since the last resetPeak().
long peakResidentKb();
// Starts the peak anew from the memory resident now (where the system allows it).
void resetPeak();
// Flushes and syncs an open file's bytes to the disk; false when that fails.
bool syncFile(std::FILE *file);
// Syncs a folder, so that a rename in it lasts; false when that fails.
bool syncFolder(const char *path);

} // namespace bench
