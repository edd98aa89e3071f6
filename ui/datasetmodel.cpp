#include "datasetmodel.h"

#include "datasource.h"

#include "dataset/dataset.h"
#include "db/values.h"

#include <QDateTime>
#include <QLocale>

namespace ui {

DatasetModel::DatasetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void DatasetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_visible.clear();
    for (const GridColumn &column : columns) {
        if (!column.hidden)
            m_visible.append(column);
    }
    reset();
    endResetModel();
}

void DatasetModel::setDataSource(DataSource *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    beginResetModel();
    m_source = source;
    reset();
    endResetModel();
    if (source) {
        connect(source, &DataSource::datasetReset, this, [this] {
            beginResetModel();
            reset();
            endResetModel();
        });
        connect(source, &DataSource::currentRowChanged, this, &DatasetModel::currentRowMoved);
        connect(source, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_source = nullptr;
            reset();
            endResetModel();
        });
    }
}

db::Dataset *DatasetModel::dataset() const
{
    return m_source ? m_source->dataset() : nullptr;
}

void DatasetModel::reset()
{
    const db::Dataset *ds = dataset();
    const bool open = ds && ds->isOpen();
    m_rows = open ? ds->recordCount() : 0;
    m_indicatorRow = open ? ds->currentRow() : -1;
    m_datasetColumn.clear();
    for (const GridColumn &column : std::as_const(m_visible))
        m_datasetColumn.append(open ? ds->columnIndex(column.field) : -1);
}

void DatasetModel::currentRowMoved(int row)
{
    const int old = m_indicatorRow;
    m_indicatorRow = row;
    if (old >= 0 && old < m_rows)
        Q_EMIT headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < m_rows)
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_visible.size());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole))
        return {};
    const db::Dataset *ds = dataset();
    const int row = index.row();
    const int column = m_datasetColumn.value(index.column(), -1);
    // The dataset announces its closing before it frees the rows; until the model has been
    // reset, a repaint must not read past what is still there.
    if (!ds || !ds->isOpen() || column < 0 || row >= ds->recordCount())
        return {};
    const QVariant value = ds->value(row, column);
    if (role == Qt::TextAlignmentRole) {
        const bool number = value.typeId() == QMetaType::LongLong
                            || value.typeId() == QMetaType::Int
                            || value.typeId() == QMetaType::Double;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    return displayText(value);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_visible.size() ? m_visible.at(section).title
                                                          : QVariant();
    // The row indicator marks the dataset's current row.
    return section == m_indicatorRow ? QStringLiteral("\u25B6") : QString();
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QString DatasetModel::displayText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime().date(), QLocale::ShortFormat);
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QByteArray:
        return db::binaryPlaceholder();
    default:
        return value.toString();
    }
}

} // namespace ui
