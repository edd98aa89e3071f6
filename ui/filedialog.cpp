#include "filedialog.h"

#include "help.h"
#include "modal.h"

#include <QFileDialog>

namespace ui {

QString askSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                        const QString &defaultSuffix, const QString &suggestedPath)
{
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(QStringLiteral("dlgMentes"));
    dialog.setAccessibleName(caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(suggestedPath);
    if (parent)
        setHelpContext(&dialog, helpContextFor(parent));
    if (execModal(&dialog) != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace ui
