#include "datasource.h"

#include "dataset/dataset.h"

namespace ui {

DataSource::DataSource(const QString &objectName, QObject *parent)
    : QObject(parent)
{
    setObjectName(objectName);
}

void DataSource::setDataset(db::Dataset *dataset)
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_dataset = dataset;
    if (dataset) {
        // aboutToClose: views drop their rows before the dataset frees them.
        m_connections << connect(dataset, &db::Dataset::aboutToClose, this,
                                 &DataSource::datasetReset)
                      << connect(dataset, &db::Dataset::closed, this, &DataSource::datasetReset)
                      << connect(dataset, &db::Dataset::opened, this, &DataSource::datasetReset)
                      << connect(dataset, &db::Dataset::currentRowChanged, this,
                                 &DataSource::currentRowChanged)
                      << connect(dataset, &QObject::destroyed, this, [this] {
                             m_dataset = nullptr;
                             Q_EMIT datasetReset();
                         });
    }
    Q_EMIT datasetReset();
}

} // namespace ui
