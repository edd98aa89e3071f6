#include "atomicfile.h"

#include "db/error.h"

#include <QDir>
#include <QSaveFile>

namespace lists {

void writeFileAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    const auto fail = [&path](const QString &reason) {
        throw db::Error(QStringLiteral("A(z) %1 fájl nem írható: %2")
                            .arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(content) != content.size())
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
}

} // namespace lists
