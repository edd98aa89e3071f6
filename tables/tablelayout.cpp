#include "tablelayout.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace tables {

namespace {

// Blank between two columns, in widths of the digit 0.
constexpr qreal gapDigits = 1.5;

QFont sized(const QFont &font, qreal points, bool bold)
{
    QFont f = font;
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

ColumnFit measure(const TableTexts &texts, const QFont &font, QPaintDevice *device, qreal points)
{
    const QFontMetricsF body(sized(font, points, false), device);
    const QFontMetricsF bold(sized(font, points, true), device);
    ColumnFit fit;
    fit.points = points;
    fit.gap = gapDigits * body.horizontalAdvance(u'0');
    for (const QString &title : texts.titles)
        fit.widths << bold.horizontalAdvance(title);
    for (const QStringList &row : texts.rows) {
        for (qsizetype c = 0; c < fit.widths.size() && c < row.size(); ++c) {
            const QString &cell = row.at(c);
            if (!cell.isEmpty())
                fit.widths[c] = std::max(fit.widths[c], body.horizontalAdvance(cell));
        }
    }
    // A hair more than measured, so that rounding never pushes a text past its column.
    for (qreal &w : fit.widths)
        w = std::ceil(w) + 1;
    return fit;
}

// The widest columns narrowed to one common width so that the table fits.
void narrow(ColumnFit &fit, qreal available)
{
    const qreal room = available - fit.gap * qreal(std::max<qsizetype>(0, fit.widths.size() - 1));
    qreal low = 1;
    qreal high = *std::max_element(fit.widths.cbegin(), fit.widths.cend());
    const auto total = [&fit](qreal cap) {
        qreal sum = 0;
        for (const qreal w : std::as_const(fit.widths))
            sum += std::min(w, cap);
        return sum;
    };
    for (int i = 0; i < 60 && high - low > 0.5; ++i) {
        const qreal mid = (low + high) / 2;
        (total(mid) <= room ? low : high) = mid;
    }
    for (qreal &w : fit.widths)
        w = std::min(w, std::floor(low));
    fit.wrapped = true;
}

} // namespace

TableTexts TableTexts::read(const QAbstractItemModel &model)
{
    TableTexts texts;
    const int columns = model.columnCount();
    for (int c = 0; c < columns; ++c) {
        texts.titles << model.headerData(c, Qt::Horizontal).toString();
        const QVariant align
            = model.rowCount() > 0 ? model.index(0, c).data(Qt::TextAlignmentRole) : QVariant();
        texts.alignRight << (align.isValid() && (Qt::Alignment(align.toInt()) & Qt::AlignRight));
    }
    const int rows = model.rowCount();
    texts.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        cells.reserve(columns);
        for (int c = 0; c < columns; ++c)
            cells << model.index(r, c).data().toString();
        texts.rows << cells;
    }
    return texts;
}

qreal ColumnFit::tableWidth() const
{
    qreal sum = 0;
    for (const qreal w : widths)
        sum += w;
    return sum + gap * qreal(std::max<qsizetype>(0, widths.size() - 1));
}

qreal usualTableWidth(const TableTexts &texts, const QFont &font, QPaintDevice *device)
{
    return measure(texts, font, device, usualPoints).tableWidth();
}

ColumnFit fitColumns(const TableTexts &texts, const QFont &font, QPaintDevice *device,
                     qreal available)
{
    ColumnFit fit = measure(texts, font, device, usualPoints);
    if (fit.widths.isEmpty() || fit.tableWidth() <= available)
        return fit;
    // Text widths shrink almost in step with the size: start near the size that fits.
    qreal points = std::floor(usualPoints * available / fit.tableWidth() * 2) / 2;
    points = std::clamp(points, smallestPoints, usualPoints - 0.5);
    for (;;) {
        fit = measure(texts, font, device, points);
        if (fit.tableWidth() <= available)
            return fit;
        if (points <= smallestPoints)
            break;
        points = std::max(smallestPoints, points - 0.5);
    }
    narrow(fit, available);
    return fit;
}

QStringList wrapText(const QString &text, const QFontMetricsF &metrics, qreal width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return {text};
    QStringList lines;
    QString line;
    const QStringList words = text.split(u' ');
    for (qsizetype i = 0; i < words.size(); ++i) {
        QString word = words.at(i);
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (metrics.horizontalAdvance(joined) <= width) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        line.clear();
        // A word wider than the column is broken where it must be.
        while (metrics.horizontalAdvance(word) > width && word.size() > 1) {
            qsizetype fits = 1;
            while (fits < word.size() && metrics.horizontalAdvance(word.left(fits + 1)) <= width)
                ++fits;
            lines << word.left(fits);
            word = word.mid(fits);
        }
        line = word;
    }
    lines << line;
    return lines;
}

} // namespace tables
