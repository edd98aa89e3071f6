#pragma once

#include <QString>

#include <optional>

// The connection file: when it stands in the computer's configuration folder or beside the
// program, the department's data lives on a database server instead of in the program
// folder's own database file.
namespace db::connectionfile {

constexpr auto fileName = "Vazuvede.kiszolgalo";

// Where an installed program looks first. A package owns its program folder and replaces it
// on every upgrade, so the ward's own setting lives where the package never writes. (On
// Windows the counterpart is the program's folder under %ProgramData%.)
constexpr auto installedMachineFile = "/etc/opt/varolista/Vazuvede.kiszolgalo";

// The computer-wide connection file looked for before the one beside the program; empty (the
// default) looks beside the program only. The program and the tool hand in
// installedMachineFile at start; a test hands in a file of its own, or nothing.
void setMachineFile(const QString &path);

// The connection file that applies to the program folder: the computer-wide one when it
// exists, else the one beside the program when that exists, else empty.
QString location(const QString &programDir);

// The libpq connection text of that file (a keyword=value connection string, a
// postgresql:// address or a bare service name); nothing when there is no such file. Throws
// db::Error with a Hungarian message for a file that cannot be read, is empty, does not
// parse, or holds a password: passwords belong in libpq's own password file.
std::optional<QString> read(const QString &programDir);

// Checks one connection text the same way (for the tool's command line too).
QString checkedConnectionText(const QString &text, const QString &origin);

} // namespace db::connectionfile
