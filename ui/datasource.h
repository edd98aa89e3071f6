#pragma once

#include <QObject>
#include <QPointer>

namespace db {
class Dataset;
}

namespace ui {

// Binds a view to a dataset, as a data-aware grid is bound through its data source; it can
// be re-bound to another dataset. Views reset whenever the binding changes or the dataset
// opens or closes, so a grid never reads rows that are gone.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(const QString &objectName = {}, QObject *parent = nullptr);

    void setDataset(db::Dataset *dataset);
    db::Dataset *dataset() const { return m_dataset; }

Q_SIGNALS:
    // The binding changed, or the bound dataset opened, closed or reopened.
    void datasetReset();
    // The bound dataset's current row moved.
    void currentRowChanged(int row);

private:
    QPointer<db::Dataset> m_dataset;
    QList<QMetaObject::Connection> m_connections;
};

} // namespace ui
