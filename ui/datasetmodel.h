#pragma once

#include "datasource.h"

#include "dataset/dataset.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>

namespace ui {

// One column of a read-only grid: the dataset field it shows, its title and its width.
struct GridColumn
{
    QString field;
    QString title;
    int widthChars = 0;  // the field's display width in characters; never narrower than the title
    int widthPixels = 0; // a fixed width in pixels instead, when set
    bool hidden = false; // kept in the dataset, not shown
};

// The rows a dataset has fetched, as a read-only table model over the columns that are shown.
// It reads the dataset's cells directly (no copy per cell), and follows the data source: a new
// binding, or the dataset opening or closing, resets the model before any row is gone.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DatasetModel(QObject *parent = nullptr);

    void setColumns(const QList<GridColumn> &columns);
    // The columns shown, in order (hidden ones left out).
    const QList<GridColumn> &visibleColumns() const { return m_visible; }

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }
    db::Dataset *dataset() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // A cell's value as the grid shows it: dates in the short date format of the computer's
    // locale, integers in decimal, texts as stored, null as empty text.
    static QString displayText(const QVariant &value);

private:
    void reset();
    void currentRowMoved(int row);

    QList<GridColumn> m_visible;
    QPointer<DataSource> m_source;
    QList<int> m_datasetColumn; // per visible column; -1 where the dataset lacks the field
    int m_rows = 0;
    int m_indicatorRow = -1;
};

} // namespace ui
