#pragma once

#include <QFont>
#include <QList>
#include <QStringList>

class QAbstractItemModel;
class QFontMetricsF;
class QPaintDevice;

// How a table's columns fit across a page: each as wide as its widest text, title included;
// a smaller font when they do not fit; lines broken inside a cell only when even the smallest
// font is too wide. Nothing is ever cut off.
namespace tables {

// The texts of a model, read once.
struct TableTexts
{
    QStringList titles;
    QList<QStringList> rows;
    QList<bool> alignRight;

    static TableTexts read(const QAbstractItemModel &model);
};

struct ColumnFit
{
    qreal points = 0;    // the font size of the titles and the cells
    QList<qreal> widths; // in device pixels
    qreal gap = 0;       // blank between two columns
    bool wrapped = false;

    qreal tableWidth() const;
};

// The usual size of a table's text and the smallest it goes down to, in points.
constexpr qreal usualPoints = 9;
constexpr qreal smallestPoints = 6;

// The columns at the usual size when they fit into `available` device pixels, else at the
// largest size (in half points, not below the smallest) at which they do, else at the
// smallest size with the widest columns narrowed to fit and their texts broken into lines.
ColumnFit fitColumns(const TableTexts &texts, const QFont &font, QPaintDevice *device,
                     qreal available);

// Width of the table at the usual size, for choosing the page's orientation.
qreal usualTableWidth(const TableTexts &texts, const QFont &font, QPaintDevice *device);

// The text broken into lines no wider than `width`: at blanks where it can, inside a word
// only when the word alone is wider. Every character but the blanks at the breaks stays.
QStringList wrapText(const QString &text, const QFontMetricsF &metrics, qreal width);

} // namespace tables
