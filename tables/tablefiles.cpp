#include "tablefiles.h"

#include "csvwriter.h"
#include "tableprinter.h"

#include "files/safesave.h"

#include <QPdfWriter>

namespace tables {

void savePdf(const QString &path, const PagePainter &printer, const QString &documentTitle,
             const QString &creator)
{
    files::SafeSave file(path);
    file.start();
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(documentTitle);
        writer.setCreator(creator);
        printer.preparePage(writer);
        printer.paint(writer);
    }
    file.commit();
}

void saveCsv(const QString &path, const QAbstractItemModel &model, const QString &filterNote)
{
    files::saveWhole(path, csvDocument(model, filterNote));
}

} // namespace tables
