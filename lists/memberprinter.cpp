#include "memberprinter.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace lists {

namespace {
constexpr int bodyPointSize = 9;
constexpr int titlePointSize = 12;
// Blank between two columns, in widths of the digit 0.
constexpr int columnGapDigits = 2;
} // namespace

MemberPrinter::MemberPrinter(const MemberListing &listing)
    : m_listing(listing)
{
}

int MemberPrinter::paint(QPagedPaintDevice *device) const
{
    QPainter painter(device);
    QFont body = painter.font();
    body.setPointSize(bodyPointSize);
    QFont bold = body;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSize(titlePointSize);
    const QFontMetrics bodyMetrics(body, device);
    const QFontMetrics boldMetrics(bold, device);
    const QFontMetrics titleMetrics(title, device);

    const int width = device->width();
    const int height = device->height();
    const int line = bodyMetrics.lineSpacing();
    const int gap = columnGapDigits * bodyMetrics.horizontalAdvance(u'0');

    // Each column as wide as its widest text; all of them squeezed to the page when needed.
    const int columns = int(m_listing.titles.size());
    QList<int> natural(columns, 0);
    for (int c = 0; c < columns; ++c)
        natural[c] = boldMetrics.horizontalAdvance(m_listing.titles.at(c));
    for (const QStringList &row : m_listing.rows) {
        for (int c = 0; c < columns && c < row.size(); ++c)
            natural[c] = std::max(natural[c], bodyMetrics.horizontalAdvance(row.at(c)));
    }
    int total = 0;
    for (const int w : std::as_const(natural))
        total += w + gap;
    QList<int> columnWidth = natural;
    if (total > width && total > 0) {
        for (int c = 0; c < columns; ++c)
            columnWidth[c] = std::max(1, int(qint64(natural[c] + gap) * width / total) - gap);
    }

    const int headerHeight = titleMetrics.lineSpacing() + line * 2 + boldMetrics.lineSpacing();
    const int footerHeight = line * 2;
    const int perPage = std::max(1, (height - headerHeight - footerHeight) / line);
    const int rows = int(m_listing.rows.size());
    const int pages = std::max(1, (rows + perPage - 1) / perPage);
    const QString day = QLocale().toString(m_listing.date, QLocale::ShortFormat);

    const auto drawRow = [&](const QStringList &cells, int y, const QFontMetrics &metrics) {
        int x = 0;
        for (int c = 0; c < columns; ++c) {
            const QString text = metrics.elidedText(cells.value(c), Qt::ElideRight, columnWidth[c]);
            const Qt::Alignment align
                = m_listing.numberColumns.contains(c) ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(QRect(x, y, columnWidth[c], metrics.lineSpacing()),
                             int(align | Qt::AlignVCenter), text);
            x += columnWidth[c] + gap;
        }
    };

    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        int y = 0;
        painter.setFont(title);
        painter.drawText(QRect(0, y, width, titleMetrics.lineSpacing()),
                         int(Qt::AlignLeft | Qt::AlignVCenter),
                         m_listing.department + QStringLiteral(" – ") + m_listing.listName);
        y += titleMetrics.lineSpacing();
        painter.setFont(body);
        painter.drawText(QRect(0, y, width, line), int(Qt::AlignLeft | Qt::AlignVCenter),
                         QStringLiteral("Dátum: ") + day);
        y += line * 2;
        painter.setFont(bold);
        drawRow(m_listing.titles, y, boldMetrics);
        y += boldMetrics.lineSpacing();
        painter.drawLine(0, y - 1, width, y - 1);
        painter.setFont(body);
        const int first = page * perPage;
        const int last = std::min(rows, first + perPage);
        for (int r = first; r < last; ++r, y += line)
            drawRow(m_listing.rows.at(r), y, bodyMetrics);
        painter.drawText(QRect(0, height - line, width, line),
                         int(Qt::AlignHCenter | Qt::AlignVCenter),
                         QStringLiteral("%1. oldal / %2").arg(page + 1).arg(pages));
    }
    return pages;
}

} // namespace lists
