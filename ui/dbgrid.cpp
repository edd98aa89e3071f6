#include "dbgrid.h"

#include "datasource.h"

#include "dataset/dataset.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

namespace ui {

namespace {
// Room for the cell's margins and the grid line on either side of the text.
constexpr int cellPadding = 12;
} // namespace

DbGrid::DbGrid(const QString &objectName, QWidget *parent)
    : QTableView(parent)
{
    setObjectName(objectName);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid: with whole-row selection there is no cell to move to.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    // Fixed row heights keep a list of a hundred thousand rows as quick as a short one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("\u25B6"))
                                      + 10);
    // The selection stays visible when the focus is on a button.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    setModel(&m_model);
    watchViewModel();
}

void DbGrid::setProxy(QAbstractProxyModel *proxy)
{
    m_proxy = proxy;
    if (proxy) {
        proxy->setSourceModel(&m_model);
        setModel(proxy);
    } else {
        setModel(&m_model);
    }
    watchViewModel();
    applyColumnWidths();
    fitStretchColumns();
    selectDatasetRow();
}

void DbGrid::watchViewModel()
{
    for (const auto &c : std::as_const(m_viewModelConnections))
        disconnect(c);
    m_viewModelConnections.clear();
    // Connected after the view's own, so the header has been rebuilt when the widths come.
    m_viewModelConnections
        << connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   [this](const QModelIndex &current) { selectionMoved(current); })
        << connect(model(), &QAbstractItemModel::modelReset, this,
                   [this] {
                       applyColumnWidths();
                       fitStretchColumns();
                       selectDatasetRow();
                   })
        // Other rows shown, or another order: the current row is looked up again.
        << connect(model(), &QAbstractItemModel::layoutChanged, this,
                   [this] { selectDatasetRow(); });
}

int DbGrid::viewRow(int datasetRow) const
{
    if (datasetRow < 0 || datasetRow >= m_model.rowCount())
        return -1;
    if (!m_proxy)
        return datasetRow;
    return m_proxy->mapFromSource(m_model.index(datasetRow, 0)).row();
}

int DbGrid::datasetRow(int viewRow) const
{
    if (!m_proxy)
        return viewRow >= 0 && viewRow < m_model.rowCount() ? viewRow : -1;
    const QModelIndex source = m_proxy->mapToSource(m_proxy->index(viewRow, 0));
    return source.isValid() ? source.row() : -1;
}

void DbGrid::setColumns(const QList<GridColumn> &columns)
{
    m_model.setColumns(columns);
}

void DbGrid::setDataSource(DataSource *source)
{
    if (DataSource *old = m_model.dataSource())
        disconnect(old, nullptr, this, nullptr);
    m_model.setDataSource(source);
    if (source)
        connect(source, &DataSource::currentRowChanged, this, [this] { selectDatasetRow(); });
}

void DbGrid::setStretchColumns(const QStringList &fields)
{
    m_stretchFields = fields;
    fitStretchColumns();
}

int DbGrid::columnWidth(const GridColumn &column, const QFontMetrics &metrics)
{
    if (column.widthPixels > 0)
        return column.widthPixels;
    const int digits = column.widthChars * metrics.horizontalAdvance(u'0');
    return std::max(digits, metrics.horizontalAdvance(column.title)) + cellPadding;
}

int DbGrid::widthForAllColumns() const
{
    const QFontMetrics metrics(font());
    int width = 0;
    for (const GridColumn &column : m_model.visibleColumns())
        width += columnWidth(column, metrics);
    // The row indicator is as wide as the grid itself lays it out.
    const QHeaderView *indicator = verticalHeader();
    width += std::min(std::max(indicator->minimumWidth(), indicator->sizeHint().width()),
                      indicator->maximumWidth());
    return width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

QItemSelectionModel::SelectionFlags DbGrid::selectionCommand(const QModelIndex &index,
                                                             const QEvent *) const
{
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void DbGrid::applyColumnWidths()
{
    const QFontMetrics metrics(font());
    const QList<GridColumn> &columns = m_model.visibleColumns();
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columnWidth(columns.at(i), metrics));
}

void DbGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitStretchColumns();
}

void DbGrid::fitStretchColumns()
{
    const QList<GridColumn> &columns = m_model.visibleColumns();
    const QFontMetrics metrics(font());
    QList<int> stretch;
    int baseTotal = 0;
    for (int i = 0; i < columns.size(); ++i) {
        if (m_stretchFields.contains(columns.at(i).field)) {
            stretch << i;
            baseTotal += columnWidth(columns.at(i), metrics);
        }
    }
    if (stretch.isEmpty() || baseTotal <= 0)
        return;
    int slack = viewport()->width() - horizontalHeader()->length();
    if (slack > 0) {
        // Shared in proportion to the columns' own widths; the last takes the rounding.
        int left = slack;
        for (int i : stretch) {
            const int share = i == stretch.back()
                                  ? left
                                  : slack * columnWidth(columns.at(i), metrics) / baseTotal;
            setColumnWidth(i, QTableView::columnWidth(i) + share);
            left -= share;
        }
    } else if (slack < 0) {
        // Given back in the same proportion, none below its own width; what a column cannot
        // give comes from the others, the last first, as the rounding went when growing.
        const auto room = [&](int i) {
            return std::max(0, QTableView::columnWidth(i) - columnWidth(columns.at(i), metrics));
        };
        int owed = -slack;
        for (int i : stretch) {
            const int give
                = std::min(room(i), -slack * columnWidth(columns.at(i), metrics) / baseTotal);
            setColumnWidth(i, QTableView::columnWidth(i) - give);
            owed -= give;
        }
        for (auto it = stretch.crbegin(); it != stretch.crend() && owed > 0; ++it) {
            const int give = std::min(room(*it), owed);
            setColumnWidth(*it, QTableView::columnWidth(*it) - give);
            owed -= give;
        }
    }
}

void DbGrid::selectDatasetRow()
{
    if (m_syncing)
        return;
    const db::Dataset *ds = m_model.dataset();
    const int row = ds && ds->isOpen() ? viewRow(ds->currentRow()) : -1;
    m_syncing = true;
    if (row >= 0) {
        const QModelIndex index = model()->index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                     | QItemSelectionModel::Rows);
        scrollTo(index);
    } else {
        selectionModel()->clear();
    }
    m_syncing = false;
}

void DbGrid::selectionMoved(const QModelIndex &current)
{
    if (m_syncing || !current.isValid())
        return;
    db::Dataset *ds = m_model.dataset();
    const int row = datasetRow(current.row());
    if (!ds || !ds->isOpen() || row < 0 || ds->currentRow() == row)
        return;
    m_syncing = true;
    ds->setCurrentRow(row);
    m_syncing = false;
}

} // namespace ui
