#pragma once

#include <QAbstractProxyModel>

#include <vector>

namespace ui {

// Shows chosen rows of a flat table model in a chosen order: the rows are given as source
// row numbers, top to bottom. A new choice is announced as a layout change, so a view keeps
// its column widths and its selection where the selected row is still shown. After the
// source resets, every source row is shown in its own order until new rows are given.
class RowMapModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    explicit RowMapModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *source) override;
    void setRows(std::vector<int> sourceRows);
    const std::vector<int> &rows() const { return m_rows; }
    // The source row shown in the proxy row, or -1.
    int sourceRow(int proxyRow) const;
    // The proxy row that shows the source row, or -1 when it is hidden.
    int proxyRow(int sourceRow) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    // Titles pass unchanged, even while no row is shown; the row indicator follows its row.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void resetToSource();
    void rebuildInverse();
    void sourceHeaderChanged(Qt::Orientation orientation, int first, int last);

    std::vector<int> m_rows;
    std::vector<int> m_proxyOf; // per source row; -1 when hidden
};

} // namespace ui
