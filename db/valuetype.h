#pragma once

namespace db {

// The kind of one result value, whichever engine gave it.
enum class ValueType { Null, Integer, Float, Text, Blob };

} // namespace db
