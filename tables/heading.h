#pragma once

#include <QString>
#include <QStringList>

namespace tables {

// What stands above a table on paper and in a file.
struct Heading
{
    QString title;     // the first line: whose table it is
    QStringList lines; // below it: codes, the date and the like
    // Said when the table holds only part of its rows (a search narrowed it); empty when
    // everything is in it.
    QString filterNote;
};

} // namespace tables
