#pragma once

#include <QString>

#include <system_error>

// The cause of a failed file operation in the person's words.
namespace files {

// "megtelt a lemez" for a full disk and the like; for a cause without its own words, the
// system's number and text, never an empty or "Unknown error" text alone.
QString failureReason(std::error_code code);

} // namespace files
