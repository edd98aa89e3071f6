#include "rowmapmodel.h"

#include <numeric>

namespace ui {

RowMapModel::RowMapModel(QObject *parent)
    : QAbstractProxyModel(parent)
{
}

void RowMapModel::setSourceModel(QAbstractItemModel *source)
{
    if (QAbstractItemModel *old = sourceModel())
        disconnect(old, nullptr, this, nullptr);
    beginResetModel();
    QAbstractProxyModel::setSourceModel(source);
    resetToSource();
    endResetModel();
    if (!source)
        return;
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        resetToSource();
        endResetModel();
    });
    // Rows coming or going one by one (the dataset never does it) show every row again.
    for (auto about :
         {&QAbstractItemModel::rowsAboutToBeInserted, &QAbstractItemModel::rowsAboutToBeRemoved})
        connect(source, about, this, [this] { beginResetModel(); });
    for (auto done : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(source, done, this, [this] {
            resetToSource();
            endResetModel();
        });
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &) {
                // The source only ever changes as a whole; repaint what is shown.
                if (!m_rows.empty())
                    Q_EMIT dataChanged(index(0, 0),
                                       index(rowCount() - 1, std::max(0, columnCount() - 1)));
            });
    connect(source, &QAbstractItemModel::headerDataChanged, this,
            &RowMapModel::sourceHeaderChanged);
}

void RowMapModel::resetToSource()
{
    const int count = sourceModel() ? sourceModel()->rowCount() : 0;
    m_rows.resize(size_t(count));
    std::iota(m_rows.begin(), m_rows.end(), 0);
    rebuildInverse();
}

void RowMapModel::rebuildInverse()
{
    const int count = sourceModel() ? sourceModel()->rowCount() : 0;
    m_proxyOf.assign(size_t(count), -1);
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_proxyOf[size_t(m_rows[i])] = int(i);
}

void RowMapModel::setRows(std::vector<int> sourceRows)
{
    const int count = sourceModel() ? sourceModel()->rowCount() : 0;
    std::erase_if(sourceRows, [count](int row) { return row < 0 || row >= count; });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> sourceRowsBefore;
    sourceRowsBefore.reserve(before.size());
    for (const QModelIndex &index : before)
        sourceRowsBefore << sourceRow(index.row());
    m_rows = std::move(sourceRows);
    rebuildInverse();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const int row = proxyRow(sourceRowsBefore.at(i));
        after << (row < 0 ? QModelIndex() : index(row, before.at(i).column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int RowMapModel::sourceRow(int proxyRow) const
{
    return proxyRow >= 0 && size_t(proxyRow) < m_rows.size() ? m_rows[size_t(proxyRow)] : -1;
}

int RowMapModel::proxyRow(int sourceRow) const
{
    return sourceRow >= 0 && size_t(sourceRow) < m_proxyOf.size() ? m_proxyOf[size_t(sourceRow)]
                                                                  : -1;
}

void RowMapModel::sourceHeaderChanged(Qt::Orientation orientation, int first, int last)
{
    if (orientation == Qt::Horizontal) {
        Q_EMIT headerDataChanged(orientation, first, last);
        return;
    }
    for (int row = first; row <= last; ++row) {
        const int shown = proxyRow(row);
        if (shown >= 0)
            Q_EMIT headerDataChanged(orientation, shown, shown);
    }
}

QModelIndex RowMapModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex RowMapModel::parent(const QModelIndex &) const
{
    return {};
}

int RowMapModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RowMapModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

QModelIndex RowMapModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel())
        return {};
    return sourceModel()->index(sourceRow(proxyIndex.row()), proxyIndex.column());
}

QModelIndex RowMapModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid())
        return {};
    const int row = proxyRow(sourceIndex.row());
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

QVariant RowMapModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Horizontal)
        return sourceModel()->headerData(section, orientation, role);
    const int row = sourceRow(section);
    return row < 0 ? QVariant() : sourceModel()->headerData(row, orientation, role);
}

} // namespace ui
