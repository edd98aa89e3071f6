#pragma once

#include <QByteArray>
#include <QString>

namespace lists {

// Writes the whole file or nothing: into a temporary file beside it, renamed over the old one
// only once everything is written. Throws db::Error with the system's message otherwise; an
// old file of that name then stays as it was.
void writeFileAtomically(const QString &path, const QByteArray &content);

} // namespace lists
