// Backing the server's data up with the server's own dump tool while the workstations keep
// working, and restoring such a backup into an empty server database. The backup is the
// tool's custom archive, readable and writable by the owner and the group only.
#include "serverengine.h"
#include "serverschema.h"

#include "db/backupfile.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <libpq-fe.h>

namespace db {

namespace {

// A whole department's dump takes minutes at the most; a tool that has not finished in an
// hour waits for something that will not come.
constexpr int toolTimeoutMs = 60 * 60 * 1000;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct ToolRun
{
    QString out;
    QString err;
};

// Runs one of the server's client tools (pg_dump, pg_restore) to its end. It never asks for
// a password: like the program, it takes it from libpq's password file or nowhere.
ToolRun runTool(const QString &name, const QStringList &arguments, const QString &failure)
{
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        throw Error(QStringLiteral("%1: a(z) %2 program nincs telepítve (Debianon a "
                                   "postgresql-client csomag hozza).")
                        .arg(failure, name));
    QProcess process;
    process.setProgram(program);
    process.setArguments(QStringList{QStringLiteral("--no-password")} + arguments);
    process.start(QIODevice::ReadOnly);
    const bool finished = process.waitForFinished(toolTimeoutMs);
    ToolRun run{QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError()).trimmed()};
    if (!finished) {
        process.kill();
        process.waitForFinished();
        throw Error(QStringLiteral("%1: a(z) %2 nem fejeződött be.").arg(failure, name));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw Error(QStringLiteral("%1:\n%2").arg(failure, run.err.isEmpty() ? process.errorString()
                                                                             : run.err));
    return run;
}

// The archive's table of contents; throws when it is no backup of the program's data.
void requireProgramBackup(const QString &path, const QString &failure)
{
    const QString contents
        = runTool(QStringLiteral("pg_restore"), {QStringLiteral("--list"), path}, failure).out;
    QStringList missing;
    for (const schema::Table &table : schema::tables()) {
        const QString name = QString::fromLatin1(table.name).toLower();
        const QRegularExpression data(QStringLiteral("^\\d+; \\d+ \\d+ TABLE DATA \\S+ %1 ")
                                          .arg(QRegularExpression::escape(name)),
                                      QRegularExpression::MultilineOption);
        if (!contents.contains(data))
            missing << QString::fromLatin1(table.name);
    }
    if (!missing.isEmpty())
        throw Error(QStringLiteral("%1: a mentésből hiányzik a program %2 táblájának tartalma, "
                                   "ez nem a program adatainak mentése: %3")
                        .arg(failure, missing.join(QStringLiteral(", ")), shown(path)));
}

} // namespace

RowCounts ServerEngine::rowCounts()
{
    RowCounts counts;
    for (const schema::Table &table : schema::tables())
        counts.insert(QString::fromLatin1(table.name),
                      number(QByteArray("SELECT count(*) FROM ") + table.name));
    return counts;
}

// The dump reads the data as one snapshot, the one this session exports, so that the counts
// reported beside it are the rows in it while the workstations go on writing.
BackupResult ServerEngine::backup(const QString &folder, const QDateTime &moment)
{
    const QString path = backupfile::newPath(folder, moment, QStringLiteral("dump"));
    // The dump tool fills a temporary file beside the backup; only a checked one takes the name.
    files::SafeSave save(path, backupfile::saveOptions());
    save.startForOtherWriter();
    const QString failure = QStringLiteral("A kiszolgáló adatainak mentése nem sikerült");
    BackupResult result;
    result.path = path;
    try {
        execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
        pg_result *exported = exec("SELECT pg_export_snapshot()");
        const QString snapshot = QString::fromLatin1(PQgetvalue(exported, 0, 0));
        PQclear(exported);
        result.counts = rowCounts();
        runTool(QStringLiteral("pg_dump"),
                {QStringLiteral("--format=custom"), QStringLiteral("--snapshot=") + snapshot,
                 QStringLiteral("--lock-wait-timeout=%1").arg(busyTimeoutMs),
                 QStringLiteral("--file=") + save.temporaryPath(),
                 QStringLiteral("--dbname=") + m_connectionText},
                failure);
        execute(QStringLiteral("COMMIT"));
        requireProgramBackup(save.temporaryPath(),
                             QStringLiteral("A mentés nem olvasható vissza: %1").arg(shown(path)));
        save.commit();
    } catch (...) {
        abandonTransaction();
        throw;
    }
    return result;
}

// Only into an empty database, in one transaction of the server: a restore that fails
// anywhere leaves the database as empty as it was, and one that already holds data is never
// mixed with a backup.
RestoreResult ServerEngine::restore(const QString &backupPath, const QDateTime &)
{
    const QString failure = QStringLiteral("A mentés nem állítható vissza, az adatbázis nem "
                                           "változott");
    if (!QFileInfo(backupPath).isFile())
        throw Error(QStringLiteral("A mentés nem található: %1").arg(shown(backupPath)));
    requireProgramBackup(backupPath, failure);
    if (serverschema::hasOwnObjects(*this))
        throw Error(QStringLiteral("%1: a kiszolgáló adatbázisa nem üres (%2). Mentés csak üres "
                                   "adatbázisba állítható vissza: hozzon létre egy újat "
                                   "(createdb), és adja meg a kapcsolatát a parancs után.")
                        .arg(failure, m_description));
    try {
        runTool(QStringLiteral("pg_restore"),
                {QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
                 QStringLiteral("--dbname=") + m_connectionText, backupPath},
                failure);
    } catch (const Error &e) {
        throw Error(e.message()
                    + QStringLiteral("\nA visszaállítást az adatbázis tulajdonosa végezheti, és a "
                                     "mentésben jogot kapott szerepeknek a kiszolgálón is meg "
                                     "kell lenniük."));
    }
    RestoreResult result;
    result.counts = rowCounts();
    return result;
}

} // namespace db
