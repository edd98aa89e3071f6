#include "backupfile.h"

#include "error.h"

#include <QDir>

namespace db::backupfile {

QString newPath(const QString &folder, const QDateTime &moment, const QString &ending)
{
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("A mentések mappája nem hozható létre: %1")
                        .arg(QDir::toNativeSeparators(folder)));
    return QDir(folder).filePath(QStringLiteral("Vazuvede-")
                                 + moment.toString(QStringLiteral("yyyyMMdd-HHmmss")) + u'.'
                                 + ending);
}

files::SaveOptions saveOptions()
{
    files::SaveOptions options;
    options.permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                          | QFile::ReadGroup | QFile::WriteGroup;
    options.notCreated = QStringLiteral("A mentés nem hozható létre: %1 (%2)");
    options.notSaved = QStringLiteral("A mentés nem írható: %1 (%2)");
    return options;
}

} // namespace db::backupfile
