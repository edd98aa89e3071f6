#pragma once

#include <QString>

class QWidget;

namespace ui {

// Asks where to save a file, through the modal seam: the file dialog "dlgMentes" in save
// mode, starting at suggestedPath, adding defaultSuffix to a name typed without one. Returns
// the chosen path, or an empty text when the person cancels.
QString askSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                        const QString &defaultSuffix, const QString &suggestedPath);

} // namespace ui
