#include "filedialog.h"

#include "help.h"
#include "messages.h"
#include "modal.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace ui {

namespace {
constexpr auto lastFolderKey = "Mentes/UtolsoMappa";

QSettings userSettings()
{
    // The user's own settings file: each ward account remembers its own folder.
    return {QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("varolista"),
            QStringLiteral("zazadoroz")};
}

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// Qt's own question would bypass the modal seam: "dlgFelulir" asks instead, in Hungarian.
bool mayReplace(QWidget *parent, const QString &path)
{
    QMessageBox box(
        QMessageBox::Warning, applicationTitle(),
        QStringLiteral("A(z) %1 fájl már létezik.\nLecseréli?").arg(QDir::toNativeSeparators(path)),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("dlgFelulir"));
    box.setAccessibleName(applicationTitle());
    QPushButton *yes = box.addButton(QStringLiteral("Igen"), QMessageBox::YesRole);
    yes->setObjectName(QStringLiteral("btnIgen"));
    QPushButton *no = box.addButton(QStringLiteral("Nem"), QMessageBox::NoRole);
    no->setObjectName(QStringLiteral("btnNem"));
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    execModal(&box);
    return box.clickedButton() == yes;
}
} // namespace

QString suggestedSaveFolder()
{
    QString last = userSettings().value(QLatin1String(lastFolderKey)).toString();
    if (isFolder(last))
        return last;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (isFolder(documents))
        return documents;
    return QDir::homePath();
}

void rememberSaveFolder(const QString &folder)
{
    QSettings settings = userSettings();
    settings.setValue(QLatin1String(lastFolderKey), folder);
}

QString safeFileName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name)
        safe += (forbidden.contains(c) || c.category() == QChar::Other_Control) ? u'_' : c;
    while (!safe.isEmpty() && (safe.back() == u'.' || safe.back().isSpace()))
        safe.chop(1);
    return safe.isEmpty() ? QStringLiteral("_") : safe;
}

QString askSaveFileName(QWidget *parent, const QString &caption, const QString &filter,
                        const QString &defaultSuffix, const QString &suggestedName)
{
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(QStringLiteral("dlgMentes"));
    dialog.setAccessibleName(caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(suggestedSaveFolder());
    dialog.selectFile(safeFileName(suggestedName));
    if (parent)
        setHelpContext(&dialog, helpContextFor(parent));
    for (;;) {
        if (execModal(&dialog) != QDialog::Accepted)
            return {};
        QString path = dialog.selectedFiles().value(0);
        if (path.isEmpty())
            return {};
        const QFileInfo chosen(path);
        // Asked again, in the same folder, when the person keeps the earlier file.
        if ((chosen.exists() || chosen.isSymLink()) && !mayReplace(parent, path)) {
            dialog.setDirectory(chosen.absolutePath());
            dialog.selectFile(chosen.fileName());
            continue;
        }
        rememberSaveFolder(chosen.absolutePath());
        return path;
    }
}

} // namespace ui
