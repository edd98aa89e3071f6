#pragma once

#include <QString>

class QAbstractItemModel;
class QWidget;

namespace tables {
class PagePainter;
}

// A window's table printed or saved, with the person asked and told through the seams.
namespace ui {

// The print preview "frmNyomtatasiKep" of the pages (a table's, or any), printed from there.
void printTable(QWidget *parent, const tables::PagePainter &printer, const QString &documentName);

// Says "A fájl elkészült: " and the file's path.
void tellSaved(QWidget *parent, const QString &path);

// Asks for a PDF file (suggestedName in the usual folder) and saves the pages there, then says
// "A fájl elkészült: …". Returns false when the person cancelled. Throws db::Error when the
// file cannot be written; the earlier file of the name then stays as it was.
bool saveTablePdf(QWidget *parent, const tables::PagePainter &printer, const QString &documentTitle,
                  const QString &suggestedName);

// The same for a CSV file of the model, the filter note first when there is one.
bool saveTableCsv(QWidget *parent, const QAbstractItemModel &model, const QString &filterNote,
                  const QString &suggestedName);

} // namespace ui
