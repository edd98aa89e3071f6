#pragma once

#include <QString>

#include <optional>

// The connection file beside the program: when it stands there, the department's data lives
// on a database server instead of in the program folder's own database file.
namespace db::connectionfile {

constexpr auto fileName = "Vazuvede.kiszolgalo";

// The libpq connection text of the program folder's connection file (a keyword=value
// connection string, a postgresql:// address or a bare service name); nothing when there is
// no such file. Throws db::Error with a Hungarian message for a file that cannot be read, is
// empty, does not parse, or holds a password: passwords belong in libpq's own password file.
std::optional<QString> read(const QString &programDir);

// Checks one connection text the same way (for the tool's command line too).
QString checkedConnectionText(const QString &text, const QString &origin);

} // namespace db::connectionfile
