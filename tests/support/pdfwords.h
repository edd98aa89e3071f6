#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// A PDF file read back as the words on its pages with their boxes (pdftotext -bbox, in
// points from the page's top left), to check what a person would see on the paper.
namespace testsupport {

struct PdfWord
{
    QString text;
    QRectF box;
};

struct PdfPage
{
    QSizeF size;
    QList<PdfWord> words;

    // The words grouped into lines (same baseline within half a point), top to bottom, each
    // line's words left to right.
    QList<QList<PdfWord>> lines() const;
    // Whether some line holds the words of `text`, one after the other and no other word
    // in between; so a text that was cut, or ran into its neighbour, is not found.
    bool hasWholeText(const QString &text) const;
    // The words of the page lying less than `margin` points from an edge.
    QStringList wordsWithin(qreal margin) const;
};

// The pages, or none with `error` set when pdftotext fails.
QList<PdfPage> readPdfWords(const QString &path, QString *error);

// The words of a text as pdftotext splits them.
QStringList wordsOf(const QString &text);

// The longest run of dark pixels across page `page` (1-based) rendered at 72 dpi, in points
// from the left edge: where the rule under the column titles lies. Empty when pdftoppm fails.
QPair<qreal, qreal> longestRule(const QString &path, int page);

} // namespace testsupport
