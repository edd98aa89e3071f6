#include "texttable.h"

namespace tables {

TextTable::TextTable(QStringList titles, QList<QStringList> rows, QList<int> numberColumns,
                     QObject *parent)
    : QAbstractTableModel(parent)
    , m_titles(std::move(titles))
    , m_rows(std::move(rows))
    , m_numberColumns(std::move(numberColumns))
{
}

int TextTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant TextTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_titles.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows.at(index.row()).value(index.column());
    if (role == Qt::TextAlignmentRole)
        return m_numberColumns.contains(index.column())
                   ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                   : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= m_titles.size())
        return {};
    return m_titles.at(section);
}

bool isNumberColumn(const QAbstractItemModel &model, int column)
{
    if (model.rowCount() == 0)
        return false;
    const QVariant align = model.index(0, column).data(Qt::TextAlignmentRole);
    return align.isValid() && (Qt::Alignment(align.toInt()) & Qt::AlignRight);
}

} // namespace tables
