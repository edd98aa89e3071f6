#pragma once

#include "datasetmodel.h"

#include <QPointer>
#include <QTableView>

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
    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_model.dataSource(); }
    DatasetModel *datasetModel() { return &m_model; }

    // The width a column gets: its display width in digits, never narrower than its title.
    static int columnWidth(const GridColumn &column, const QFontMetrics &metrics);
    // The width that shows every column side by side: the columns, the row indicator, a
    // vertical scroll bar and the frame.
    int widthForAllColumns() const;

protected:
    // A click or key never leaves the grid without a selected row: the current row stays.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;

private:
    void applyColumnWidths();
    void selectDatasetRow();
    void selectionMoved(const QModelIndex &current);

    DatasetModel m_model;
    bool m_syncing = false;
};

} // namespace ui
