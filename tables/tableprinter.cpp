#include "tableprinter.h"

#include "tablelayout.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace tables {

namespace {

constexpr qreal titlePoints = 12;

QFont fontOf(qreal points, bool bold)
{
    QFont font;
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Lines of text painted one under the other from the top left, each whole.
struct Block
{
    QFont font;
    QStringList lines;
};

// The heading's lines broken to the page's width.
QList<Block> headingBlocks(const Heading &heading, QPaintDevice *device, qreal width)
{
    QList<Block> blocks;
    const auto add = [&](const QFont &font, const QString &text) {
        const QFontMetricsF metrics(font, device);
        blocks << Block{font, wrapText(text, metrics, width)};
    };
    add(fontOf(titlePoints, true), heading.title);
    for (const QString &line : heading.lines)
        add(fontOf(usualPoints, false), line);
    if (!heading.filterNote.isEmpty())
        add(fontOf(usualPoints, true), heading.filterNote);
    return blocks;
}

qreal blockHeight(const Block &block, QPaintDevice *device)
{
    return QFontMetricsF(block.font, device).lineSpacing() * qreal(block.lines.size());
}

// The cells of one row as lines within their columns.
QList<QStringList> rowLines(const QStringList &cells, const ColumnFit &fit,
                            const QFontMetricsF &metrics)
{
    QList<QStringList> lines;
    for (qsizetype c = 0; c < fit.widths.size(); ++c) {
        const QString text = cells.value(c);
        lines << (fit.wrapped ? wrapText(text, metrics, fit.widths.at(c)) : QStringList{text});
    }
    return lines;
}

int lineCount(const QList<QStringList> &cells)
{
    qsizetype most = 1;
    for (const QStringList &cell : cells)
        most = std::max(most, cell.size());
    return int(most);
}

// Where each page's rows start: the rows that fit under the titles, at least one a page.
QList<qsizetype> pageStarts(const QList<QList<QStringList>> &lines, qreal lineSpacing,
                            qreal rowsRoom)
{
    QList<qsizetype> starts{0};
    qreal used = 0;
    for (qsizetype r = 0; r < lines.size(); ++r) {
        const qreal rowHeight = lineSpacing * lineCount(lines.at(r));
        if (used > 0 && used + rowHeight > rowsRoom) {
            starts << r;
            used = 0;
        }
        used += rowHeight;
    }
    return starts;
}

// One row's cells, each line of a cell under the one before, right-aligned where asked.
void drawCells(QPainter &painter, const QList<QStringList> &cells, qreal top,
               const QFontMetricsF &metrics, const ColumnFit &fit, const QList<bool> &alignRight)
{
    qreal x = 0;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        const qreal w = fit.widths.at(c);
        qreal baseline = top + metrics.ascent();
        for (const QString &line : cells.at(c)) {
            const qreal shift = alignRight.value(c) ? w - metrics.horizontalAdvance(line) : 0;
            painter.drawText(QPointF(x + shift, baseline), line);
            baseline += metrics.lineSpacing();
        }
        x += w + fit.gap;
    }
}

// The heading's blocks from the top of the page; returns where they end.
qreal drawHeading(QPainter &painter, const QList<Block> &heading, QPaintDevice *device)
{
    qreal y = 0;
    for (const Block &block : heading) {
        painter.setFont(block.font);
        const QFontMetricsF metrics(block.font, device);
        for (const QString &line : block.lines) {
            painter.drawText(QPointF(0, y + metrics.ascent()), line);
            y += metrics.lineSpacing();
        }
    }
    return y;
}

} // namespace

TablePrinter::TablePrinter(const QAbstractItemModel &model, Heading heading)
    : m_model(model)
    , m_heading(std::move(heading))
{
}

void TablePrinter::preparePage(QPagedPaintDevice &device) const
{
    QPageLayout layout = device.pageLayout();
    const QMarginsF now = layout.margins(QPageLayout::Millimeter);
    const QMarginsF margins(std::max(now.left(), marginMm), std::max(now.top(), marginMm),
                            std::max(now.right(), marginMm), std::max(now.bottom(), marginMm));
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(margins);
    layout.setOrientation(QPageLayout::Portrait);
    const qreal across = layout.paintRectPixels(device.logicalDpiX()).width();
    const qreal needed = usualTableWidth(TableTexts::read(m_model), QFont(), &device);
    layout.setOrientation(needed <= across ? QPageLayout::Portrait : QPageLayout::Landscape);
    device.setPageLayout(layout);
}

int TablePrinter::paint(QPagedPaintDevice &device) const
{
    QPainter painter(&device);
    return paint(painter, device);
}

int TablePrinter::paint(QPainter &painter, QPagedPaintDevice &device) const
{
    const TableTexts texts = TableTexts::read(m_model);
    const qreal width = device.width();
    const qreal height = device.height();
    const ColumnFit fit = fitColumns(texts, QFont(), &device, width);
    const QFont body = fontOf(fit.points, false);
    const QFont bold = fontOf(fit.points, true);
    const QFont foot = fontOf(usualPoints, false);
    const QFontMetricsF bodyMetrics(body, &device);
    const QFontMetricsF boldMetrics(bold, &device);
    const QFontMetricsF footMetrics(foot, &device);

    const QList<Block> heading = headingBlocks(m_heading, &device, width);
    qreal headingHeight = bodyMetrics.lineSpacing() / 2;
    for (const Block &block : heading)
        headingHeight += blockHeight(block, &device);
    const QList<QStringList> titleLines = rowLines(texts.titles, fit, boldMetrics);
    const qreal titlesHeight = boldMetrics.lineSpacing() * lineCount(titleLines);
    const qreal footHeight = footMetrics.lineSpacing() * 2;
    const qreal rowsRoom = height - headingHeight - titlesHeight - footHeight;

    QList<QList<QStringList>> lines;
    lines.reserve(texts.rows.size());
    for (const QStringList &row : texts.rows)
        lines << rowLines(row, fit, bodyMetrics);
    const QList<qsizetype> starts = pageStarts(lines, bodyMetrics.lineSpacing(), rowsRoom);
    const int pages = int(starts.size());

    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        qreal y = drawHeading(painter, heading, &device) + bodyMetrics.lineSpacing() / 2;
        painter.setFont(bold);
        drawCells(painter, titleLines, y, boldMetrics, fit, texts.alignRight);
        y += titlesHeight;
        painter.setPen(QPen(Qt::black, device.logicalDpiY() / 144.0));
        painter.drawLine(QLineF(0, y - 1, fit.tableWidth(), y - 1));
        painter.setFont(body);
        const qsizetype last = page + 1 < pages ? starts.at(page + 1) : lines.size();
        for (qsizetype r = starts.at(page); r < last; ++r) {
            drawCells(painter, lines.at(r), y, bodyMetrics, fit, texts.alignRight);
            y += bodyMetrics.lineSpacing() * lineCount(lines.at(r));
        }
        painter.setFont(foot);
        const QString number = QStringLiteral("%1. oldal / %2").arg(page + 1).arg(pages);
        painter.drawText(QPointF((width - footMetrics.horizontalAdvance(number)) / 2,
                                 height - footMetrics.descent()),
                         number);
    }
    return pages;
}

} // namespace tables
