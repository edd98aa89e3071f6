#pragma once

#include "datasetmodel.h"

#include <QPointer>
#include <QTableView>

class QAbstractProxyModel;

namespace ui {

// A read-only, whole-row grid over whatever dataset its data source is bound to: a title row,
// a row indicator and resizable columns. The selected row and the dataset's current row follow
// each other both ways, so a locate moves the selection and a click moves the current row.
class DbGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DbGrid(const QString &objectName = {}, QWidget *parent = nullptr);

    void setColumns(const QList<GridColumn> &columns);
    // The columns of these fields take up the width the grid gains and give back what it
    // loses, down to their own widths; every column stays resizable by hand.
    void setStretchColumns(const QStringList &fields);
    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_model.dataSource(); }
    DatasetModel *datasetModel() { return &m_model; }
    // Shows the dataset's rows through a proxy over datasetModel() (chosen rows, another
    // order); the selection and the dataset's current row still follow each other, mapped.
    void setProxy(QAbstractProxyModel *proxy);
    // The grid row that shows the dataset row, or -1 when it is hidden.
    int viewRow(int datasetRow) const;
    // The dataset row shown in the grid row, or -1.
    int datasetRow(int viewRow) const;

    // The width a column gets: its display width in digits, never narrower than its title.
    static int columnWidth(const GridColumn &column, const QFontMetrics &metrics);
    // The width that shows every column side by side: the columns, the row indicator, a
    // vertical scroll bar and the frame.
    int widthForAllColumns() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    // A click or key never leaves the grid without a selected row: the current row stays.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    void watchViewModel();
    void applyColumnWidths();
    void fitStretchColumns();
    void selectDatasetRow();
    void selectionMoved(const QModelIndex &current);

    DatasetModel m_model;
    QPointer<QAbstractProxyModel> m_proxy;
    QList<QMetaObject::Connection> m_viewModelConnections;
    bool m_syncing = false;
    QStringList m_stretchFields;
};

} // namespace ui
