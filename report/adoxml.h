#pragma once

class QIODevice;

namespace db {
class Dataset;
}

namespace report {

// Writes every row of an open report dataset (the eight columns of db::fields::report(),
// found by name) to the device in the XML persistence format. Throws db::Error for a
// missing column, a value the format cannot hold, or a device that refuses the bytes;
// the output is then incomplete and must be discarded.
void writeAdoXml(QIODevice &out, const db::Dataset &rows);

} // namespace report
