#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace tables {

// A finished table of texts as a model: titles across the top, rows of cells, and the
// columns that hold numbers (aligned right, written bare into a CSV file). What a window
// hands to the printer and the CSV writer when its own model is not the one to print.
class TextTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    TextTable(QStringList titles, QList<QStringList> rows, QList<int> numberColumns = {},
              QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList m_titles;
    QList<QStringList> m_rows;
    QList<int> m_numberColumns;
};

// Whether a model's column holds numbers: its cells are aligned to the right.
bool isNumberColumn(const QAbstractItemModel &model, int column);

} // namespace tables
