#pragma once

#include "heading.h"

class QAbstractItemModel;
class QPagedPaintDevice;
class QPainter;

namespace tables {

// Pages for a printer and a PDF file alike: whatever the print preview and the PDF save
// paint.
class PagePainter
{
public:
    virtual ~PagePainter() = default;
    // Sets the page's margins and orientation. Call before painting starts on the device.
    virtual void preparePage(QPagedPaintDevice &device) const = 0;
    // Paints every page onto the device, which starts on its first page; returns how many.
    virtual int paint(QPagedPaintDevice &device) const = 0;
};

// A table laid out on pages, for a printer and a PDF file alike. On every page: the heading
// (its filter note in bold), the column titles with a rule under them as wide as the table,
// as many rows as fit, and "N. oldal / M" at the foot. Each column is as wide as its widest
// text, title included; a table too wide for the page gets a smaller font, and only below
// the smallest one are texts broken into lines inside their cells. No text is ever cut off,
// and nothing is painted within 10 mm of the paper's edge.
class TablePrinter : public PagePainter
{
public:
    // The model is read when the pages are painted: it has to live until then.
    TablePrinter(const QAbstractItemModel &model, Heading heading);

    // Sets margins of at least 12 mm, and portrait when the table fits across it at the usual
    // size, landscape otherwise. Call before painting starts on the device.
    void preparePage(QPagedPaintDevice &device) const override;
    // Paints every page onto the device, which starts on its first page; returns how many.
    // Fits the table to the page the device has, whichever way it was turned meanwhile.
    int paint(QPagedPaintDevice &device) const override;
    // The same with a painter already active on the device, from the page it is on: for a
    // document that holds more than this table.
    int paint(QPainter &painter, QPagedPaintDevice &device) const;

    static constexpr qreal marginMm = 12;

private:
    const QAbstractItemModel &m_model;
    Heading m_heading;
};

} // namespace tables
