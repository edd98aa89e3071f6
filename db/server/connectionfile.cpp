#include "connectionfile.h"

#include "db/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <libpq-fe.h>

namespace db::connectionfile {

namespace {

QString &machineFile()
{
    static QString path;
    return path;
}

} // namespace

void setMachineFile(const QString &path)
{
    machineFile() = path;
}

QString location(const QString &programDir)
{
    // A computer-wide file that cannot be read still decides: reading it then says why, rather
    // than the program quietly opening a file of its own folder instead of the ward's server.
    const QString &machine = machineFile();
    if (!machine.isEmpty() && QFileInfo(machine).exists())
        return machine;
    const QString beside = QDir(programDir).filePath(QString::fromLatin1(fileName));
    return QFileInfo::exists(beside) ? beside : QString();
}

std::optional<QString> read(const QString &programDir)
{
    const QString path = location(programDir);
    if (path.isEmpty())
        return std::nullopt;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("A kiszolgáló kapcsolatfájlja nem olvasható: %1 (%2)")
                        .arg(shown, file.errorString()));
    QStringList parts;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u'#'))
            parts << trimmed;
    }
    return checkedConnectionText(parts.join(u' '), shown);
}

QString checkedConnectionText(const QString &text, const QString &origin)
{
    QString connection = text.trimmed();
    if (connection.isEmpty())
        throw Error(QStringLiteral("A kiszolgáló kapcsolatfájlja üres: %1").arg(origin));
    const bool address = connection.startsWith(QStringLiteral("postgresql://"))
                         || connection.startsWith(QStringLiteral("postgres://"));
    if (!address && !connection.contains(u'='))
        connection = QStringLiteral("service=") + connection;

    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(connection.toUtf8().constData(), &error);
    if (!options) {
        const QString detail = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        throw Error(
            QStringLiteral("A kiszolgáló kapcsolatfájlja hibás: %1\n%2").arg(origin, detail));
    }
    bool password = false;
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            password = true;
    }
    PQconninfoFree(options);
    if (password)
        throw Error(QStringLiteral("A kiszolgáló kapcsolatfájlja jelszót tartalmaz: %1\nJelszó "
                                   "nem állhat a kapcsolatfájlban: törölje a fájlból, és írja "
                                   "a libpq jelszófájljába (~/.pgpass vagy a PGPASSFILE "
                                   "változóban megadott fájl).")
                        .arg(origin));
    return connection;
}

} // namespace db::connectionfile
