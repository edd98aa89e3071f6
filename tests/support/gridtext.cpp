#include "gridtext.h"

#include <QAbstractItemView>

namespace testsupport {

QStringList gridColumn(const QAbstractItemView *grid, const QString &title)
{
    const QAbstractItemModel *model = grid->model();
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->headerData(c, Qt::Horizontal).toString() == title)
            column = c;
    }
    QStringList texts;
    if (column < 0)
        return {QStringLiteral("<no column %1>").arg(title)};
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

} // namespace testsupport
