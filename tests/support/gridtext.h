#pragma once

#include <QString>
#include <QStringList>

class QAbstractItemView;

namespace testsupport {

// What a grid shows in the column with the given title, row by row.
QStringList gridColumn(const QAbstractItemView *grid, const QString &title);

} // namespace testsupport
