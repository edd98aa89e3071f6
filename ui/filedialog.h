#pragma once

#include <QString>

class QWidget;

namespace ui {

// Asks where to save a file, through the modal seam: the file dialog "dlgMentes" in save
// mode, opening in suggestedSaveFolder() with the suggested name (made safe for a file name),
// adding defaultSuffix to a name typed without one. A file that exists already is replaced only
// when the person answers "Igen" to "dlgFelulir"; "Nem" goes back to the file dialog. The
// folder chosen is remembered for the next save. Returns the chosen path, or an empty text
// when the person cancels.
QString askSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                        const QString &defaultSuffix, const QString &suggestedName);

// The folder a save starts in: the one this user chose last while it still exists, else the
// user's Documents folder when there is one, else the home folder.
QString suggestedSaveFolder();
// Kept per user (QSettings of the user's scope) for the next save.
void rememberSaveFolder(const QString &folder);

// The name with every character that a file name cannot hold on one system or another
// (path separators, : * ? " < > |, control characters) replaced by "_", and without blanks
// or dots at its end; "_" for a name that keeps nothing.
QString safeFileName(const QString &name);

} // namespace ui
