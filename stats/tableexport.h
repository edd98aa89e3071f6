#pragma once

#include "statistics.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace stats {

// The figures as text to read: the heading, then each table under its title with its columns
// aligned, numbers to the right.
QString plainText(const Figures &figures);

// The figures of one or more scopes as one CSV file for a spreadsheet: for each, the heading,
// then each table's title, its column titles and its rows, an empty line before each table.
// Numbers go bare.
QByteArray csvDocument(const QList<Figures> &figures);

} // namespace stats
