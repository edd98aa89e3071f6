#pragma once

#include <QString>

class QAbstractItemModel;

namespace tables {

class PagePainter;

// A table saved as a file through the safe save: the earlier file of the name stays as it
// was unless the new one is complete on the disk. Throws db::Error naming the cause.

// The pages of the printer as an A4 PDF file; the document's title and maker as given.
void savePdf(const QString &path, const PagePainter &printer, const QString &documentTitle,
             const QString &creator);

// The model as CSV (see csvDocument), the filter note first when there is one.
void saveCsv(const QString &path, const QAbstractItemModel &model, const QString &filterNote);

} // namespace tables
