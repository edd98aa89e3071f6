#pragma once

#include <QString>

namespace db {

enum class FieldKind { Text, Integer, DateTime };

// A persistent field: a column the program reads, with the kind its values must convert to.
struct FieldDef
{
    QString name;
    FieldKind kind = FieldKind::Text;
    int width = 0; // text: the most characters a value may have; 0 for no limit
};

} // namespace db
