#include "tableoutput.h"

#include "messagetexts.h"

#include "filedialog.h"
#include "help.h"
#include "messages.h"
#include "modal.h"

#include "tables/tablefiles.h"
#include "tables/tableprinter.h"

#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace ui {

void tellSaved(QWidget *parent, const QString &path)
{
    showMessage(parent, message::fileReady.toString() + QDir::toNativeSeparators(path));
}

void printTable(QWidget *parent, const tables::PagePainter &printer, const QString &documentName)
{
    QPrinter device(QPrinter::HighResolution);
    device.setDocName(documentName);
    printer.preparePage(device);
    QPrintPreviewDialog preview(&device, parent);
    preview.setObjectName(QStringLiteral("frmNyomtatasiKep"));
    preview.setWindowTitle(QStringLiteral("Nyomtatási kép"));
    preview.setAccessibleName(preview.windowTitle());
    if (parent)
        setHelpContext(&preview, helpContextFor(parent));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&printer](QPrinter *target) { printer.paint(*target); });
    execModal(&preview);
}

bool saveTablePdf(QWidget *parent, const tables::PagePainter &printer, const QString &documentTitle,
                  const QString &suggestedName)
{
    const QString path
        = askSaveFileName(parent, QStringLiteral("Mentés PDF fájlba"),
                          QStringLiteral("PDF fájl (*.pdf)"), QStringLiteral("pdf"), suggestedName);
    if (path.isEmpty())
        return false;
    tables::savePdf(path, printer, documentTitle, applicationTitle());
    tellSaved(parent, path);
    return true;
}

bool saveTableCsv(QWidget *parent, const QAbstractItemModel &model, const QString &filterNote,
                  const QString &suggestedName)
{
    const QString path
        = askSaveFileName(parent, QStringLiteral("Mentés CSV fájlba"),
                          QStringLiteral("CSV fájl (*.csv)"), QStringLiteral("csv"), suggestedName);
    if (path.isEmpty())
        return false;
    tables::saveCsv(path, model, filterNote);
    tellSaved(parent, path);
    return true;
}

} // namespace ui
