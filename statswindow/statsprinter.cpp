#include "statsprinter.h"

#include "statcharts.h"

#include "stats/figuretables.h"
#include "tables/texttable.h"

#include <QChart>
#include <QFont>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

// The size a chart is laid out at before it is scaled onto the page, in the screen's pixels:
// its texts then come out at about their size on the screen.
constexpr QSizeF chartLayout(1000, 620);

// The heading line above a chart, and the chart under it, as large as the page allows.
void paintChartPage(QPainter &painter, QPagedPaintDevice &device, QChart *chart,
                    const QString &heading)
{
    QFont font;
    font.setPointSizeF(12);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &device);
    painter.drawText(QPointF(0, metrics.ascent()), heading);
    const qreal top = metrics.lineSpacing() * 1.5;
    // The scene owns the chart from here on, and deletes it with itself.
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->resize(chartLayout);
    scene.setSceneRect(QRectF(QPointF(0, 0), chartLayout));
    const QRectF room(0, top, device.width(), device.height() - top);
    QSizeF fitted = chartLayout;
    fitted.scale(room.size(), Qt::KeepAspectRatio);
    scene.render(&painter, QRectF(room.topLeft(), fitted), scene.sceneRect());
}

} // namespace

StatsPrinter::StatsPrinter(const stats::Figures &figures)
    : m_figures(figures)
{
    const tables::Heading heading{stats::heading(figures), {}, {}};
    for (const stats::FigureTable &table : stats::allTables(figures)) {
        std::unique_ptr<tables::TextTable> model = stats::textModel(table);
        tables::Heading titled = heading;
        titled.lines << table.title;
        m_tables.push_back(std::make_unique<tables::TablePrinter>(*model, titled));
        m_models.push_back(std::move(model));
    }
}

StatsPrinter::~StatsPrinter() = default;

void StatsPrinter::preparePage(QPagedPaintDevice &device) const
{
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const qreal margin = tables::TablePrinter::marginMm;
    layout.setMargins(QMarginsF(margin, margin, margin, margin));
    // The months' charts and the flow's many columns want the width.
    layout.setOrientation(QPageLayout::Landscape);
    device.setPageLayout(layout);
}

int StatsPrinter::paint(QPagedPaintDevice &device) const
{
    QPainter painter(&device);
    QChart *const charts[] = {nullptr, statcharts::distributionChart(m_figures),
                              statcharts::trendChart(m_figures), statcharts::flowChart(m_figures)};
    int pages = 0;
    for (std::size_t i = 0; i < m_tables.size(); ++i) {
        if (charts[i]) {
            if (pages > 0)
                device.newPage();
            paintChartPage(painter, device, charts[i], stats::heading(m_figures));
            ++pages;
        }
        if (pages > 0)
            device.newPage();
        pages += m_tables[i]->paint(painter, device);
    }
    return pages;
}
