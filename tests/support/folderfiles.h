#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a folder holds after a save, read the plain way.
namespace testsupport {

// The file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// Every name in the folder, hidden ones and links included, sorted.
QStringList folderEntries(const QString &folder);

} // namespace testsupport
