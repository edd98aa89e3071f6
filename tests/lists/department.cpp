#include "department.h"

#include <QAbstractItemView>

namespace testsupport {

Department::Department(const QString &type)
    : state(&mainWidget, dir.path())
{
    state.connect();
    insertDepartment(state.connection(), QStringLiteral("1234"), QStringLiteral("123456789"), type,
                     QStringLiteral("Belgyógyászat"), QStringLiteral("titok"));
    state.grantAccess();
    state.atOsztaly().open();
    state.setAktTAJ(QStringLiteral("000000000"));
    state.setAktBeavtip(type == u"J" ? 0 : -1);
}

qint64 Department::entry(int list, const QString &taj, QDate listara, const QString &esemKod,
                         const QString &nev, const QString &surgosseg)
{
    return insertEntry(state.connection(), list, taj, nev, listara, surgosseg, esemKod);
}

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
