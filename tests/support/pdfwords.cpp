#include "pdfwords.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <algorithm>

namespace testsupport {

QStringList wordsOf(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QList<QList<PdfWord>> PdfPage::lines() const
{
    QList<PdfWord> sorted = words;
    std::stable_sort(sorted.begin(), sorted.end(), [](const PdfWord &a, const PdfWord &b) {
        return a.box.bottom() < b.box.bottom();
    });
    QList<QList<PdfWord>> result;
    for (const PdfWord &word : sorted) {
        if (result.isEmpty() || word.box.bottom() - result.last().first().box.bottom() > 0.5)
            result.append(QList<PdfWord>());
        result.last().append(word);
    }
    for (QList<PdfWord> &line : result)
        std::sort(line.begin(), line.end(),
                  [](const PdfWord &a, const PdfWord &b) { return a.box.left() < b.box.left(); });
    return result;
}

bool PdfPage::hasWholeText(const QString &text) const
{
    const QStringList wanted = wordsOf(text);
    if (wanted.isEmpty())
        return true;
    for (const QList<PdfWord> &line : lines()) {
        for (qsizetype start = 0; start + wanted.size() <= line.size(); ++start) {
            bool all = true;
            for (qsizetype i = 0; all && i < wanted.size(); ++i)
                all = line.at(start + i).text == wanted.at(i);
            if (all)
                return true;
        }
    }
    return false;
}

QStringList PdfPage::wordsWithin(qreal margin) const
{
    const QRectF inside(margin, margin, size.width() - 2 * margin, size.height() - 2 * margin);
    QStringList outside;
    for (const PdfWord &word : words) {
        if (!inside.contains(word.box))
            outside << word.text;
    }
    return outside;
}

QList<PdfPage> readPdfWords(const QString &path, QString *error)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                   QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        *error = QStringLiteral("pdftotext: ") + process.errorString()
                 + QString::fromUtf8(process.readAllStandardError());
        return {};
    }
    QList<PdfPage> pages;
    QXmlStreamReader xml(process.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto number
            = [&a](const char *name) { return a.value(QLatin1String(name)).toDouble(); };
        if (xml.name() == u"page") {
            pages.append(PdfPage{QSizeF(number("width"), number("height")), {}});
        } else if (xml.name() == u"word" && !pages.isEmpty()) {
            const QRectF box(QPointF(number("xMin"), number("yMin")),
                             QPointF(number("xMax"), number("yMax")));
            pages.last().words.append(PdfWord{xml.readElementText(), box});
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return pages;
}

QPair<qreal, qreal> longestRule(const QString &path, int page)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("oldal"));
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-gray"),
                   QStringLiteral("-singlefile"), QStringLiteral("-f"), QString::number(page),
                   QStringLiteral("-l"), QString::number(page), path, stem});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    const QImage image(stem + QStringLiteral(".pgm"));
    QPair<qreal, qreal> best;
    for (int y = 0; y < image.height(); ++y) {
        int start = -1;
        for (int x = 0; x <= image.width(); ++x) {
            const bool dark = x < image.width() && qGray(image.pixel(x, y)) < 160;
            if (dark && start < 0)
                start = x;
            if (!dark && start >= 0) {
                if (x - start > best.second - best.first)
                    best = {qreal(start), qreal(x)};
                start = -1;
            }
        }
    }
    return best;
}

} // namespace testsupport
