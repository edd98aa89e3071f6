#pragma once

#include <array>

class QIODevice;

namespace db {
class Statement;
}

namespace report {

// Where each report column (in report order) stands in the statement's columns, found by
// name. Throws db::Error naming a column the statement lacks.
std::array<int, 8> reportColumnSources(const db::Statement &rows);

// Writes the rows of the report statement (the eight columns of db::fields::report(), found
// by name) to the device in the XML persistence format, one row at a time as the statement
// steps: the statement stands on its first row and has passed its last one afterwards.
// Throws db::Error for a missing column, a value the format cannot hold, a failed step, or a
// device that refuses the bytes; the output is then incomplete and must be discarded.
void writeAdoXml(QIODevice &out, db::Statement &rows);

} // namespace report
