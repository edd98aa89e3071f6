#pragma once

#include "files/safesave.h"

#include <QDateTime>
#include <QString>

// What the backups of both engines share: where one goes, its name, how it is saved.
namespace db::backupfile {

// The path of a new backup in the folder, made when missing: Vazuvede-YYYYMMDD-HHMMSS.<ending>.
QString newPath(const QString &folder, const QDateTime &moment, const QString &ending);

// A backup holds the patients: for the owner and the department's group only.
files::SaveOptions saveOptions();

} // namespace db::backupfile
