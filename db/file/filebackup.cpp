// Backing the file up while the program keeps working on it, restoring a backup, and the
// check of every page. Every file made is encrypted with the program's key like the
// original, readable and writable by the owner and the group only.
#include "fileengine.h"

#include "filestatement.h"

#include "db/backupfile.h"
#include "db/error.h"
#include "files/safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

namespace db {

namespace {

// The restore could not put the backup's copy beside the database: its path, the reason.
constexpr QStringView notCopied = u"A mentés nem másolható az adatbázis mellé: %1 (%2)";

constexpr auto stamp = "yyyyMMdd-HHmmss";

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QFile::Permissions ownerAndGroup = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                         | QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup;

QString countsText(const RowCounts &counts)
{
    QStringList parts;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        parts << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    return parts.join(QStringLiteral(", "));
}

// Rows of every table of the file (sqlite_sequence included), by table name.
RowCounts fileRowCounts(FileEngine &engine)
{
    QStringList tables;
    {
        FileStatement names(engine, QStringLiteral("SELECT name FROM sqlite_master WHERE type = "
                                                   "'table' ORDER BY name"));
        while (names.step())
            tables << QString::fromUtf8(names.utf8(0));
    }
    RowCounts counts;
    for (const QString &table : tables) {
        QString quoted = table;
        quoted.replace(u'"', QStringLiteral("\"\""));
        FileStatement count(engine, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(quoted));
        count.step();
        counts.insert(table, count.int64(0));
    }
    return counts;
}

// The copy holds what the source held, table by table.
void requireSameCounts(const RowCounts &expected, const RowCounts &actual, const QString &path)
{
    if (expected != actual)
        throw Error(QStringLiteral("A(z) %1 sorai nem egyeznek a forráséval.\nForrás: %2\n"
                                   "Másolat: %3")
                        .arg(shown(path), countsText(expected), countsText(actual)));
}

// Opens the file as the program would (current schema version), checks it and counts its rows.
RowCounts verifiedCounts(const QString &path)
{
    FileEngine engine(path, Connection::Mode::Existing);
    QStringList checked;
    const QStringList problems = engine.storageProblems(checked);
    if (!problems.isEmpty())
        throw Error(
            QStringLiteral("A(z) %1 sérült:\n%2").arg(shown(path), problems.mid(0, 10).join(u'\n')),
            ErrorKind::Corrupt);
    return fileRowCounts(engine);
}

void copyPages(FileEngine &source, FileEngine &target)
{
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        target.check(sqlite3_errcode(target.handle()));
    int rc = SQLITE_OK;
    // All pages in one step: one consistent picture of the file. A step that finds the file
    // locked is tried again for about as long as a writer of the program would wait.
    for (int attempt = 0; attempt < busyTimeoutMs / 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(100);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        target.check(rc == SQLITE_OK ? SQLITE_ERROR : rc);
    target.check(finished);
}

} // namespace

QStringList FileEngine::storageProblems(QStringList &checked)
{
    checked << QStringLiteral("minden lap és index épsége, a titkosítás ellenőrző kódjaival");
    QStringList lines;
    try {
        FileStatement check(*this, QStringLiteral("PRAGMA integrity_check"));
        while (check.step())
            lines << QString::fromUtf8(check.utf8(0));
    } catch (const Error &e) {
        // A damaged page stops the check itself: that is the verdict too.
        return {QStringLiteral("Egy lap nem olvasható vissza (sérült, vagy nem illik rá a "
                               "titkosítás ellenőrző kódja): ")
                + e.message()};
    }
    if (lines == QStringList{QStringLiteral("ok")})
        return {};
    return lines;
}

BackupResult FileEngine::backup(const QString &folder, const QDateTime &moment)
{
    const QString path = backupfile::newPath(folder, moment, QStringLiteral("adat"));
    // The engine fills a temporary file beside the backup; only a checked copy takes the name.
    files::SafeSave save(path, backupfile::saveOptions());
    save.startForOtherWriter();
    const QString copy = save.temporaryPath();
    BackupResult result;
    result.path = path;
    try {
        FileEngine target(copy, Connection::Mode::ExistingAnyVersion);
        // The counts and the copy come from one read transaction: the same moment.
        execute(QStringLiteral("BEGIN"));
        result.counts = fileRowCounts(*this);
        copyPages(*this, target);
        execute(QStringLiteral("COMMIT"));
        target.close();
        requireSameCounts(result.counts, verifiedCounts(copy), path);
        save.commit();
    } catch (...) {
        if (inTransaction())
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        QFile::remove(copy + QStringLiteral("-journal"));
        throw;
    }
    return result;
}

namespace {

// The backup's bytes into the temporary file of the save, as they are; the save syncs them.
void copyInto(files::SafeSave &save, const QString &backupPath)
{
    QFile backup(backupPath);
    if (!backup.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("A mentés nem olvasható: %1 (%2)")
                        .arg(shown(backupPath), backup.errorString()));
    save.startForOtherWriter();
    QFile copy(save.temporaryPath());
    if (!copy.open(QIODevice::WriteOnly))
        throw Error(notCopied.arg(shown(save.temporaryPath()), copy.errorString()));
    QByteArray block;
    while (!(block = backup.read(1 << 20)).isEmpty()) {
        if (copy.write(block) != block.size())
            break;
    }
    copy.close();
    if (backup.error() != QFileDevice::NoError || copy.error() != QFileDevice::NoError)
        throw Error(notCopied.arg(shown(save.temporaryPath()),
                                  backup.error() != QFileDevice::NoError ? backup.errorString()
                                                                         : copy.errorString()));
}

} // namespace

// Puts the backup in the file's place. The use lock is held exclusively, so nobody works on
// the file meanwhile. The backup is copied beside the file and checked first; the replaced
// file is kept as "Vazuvede.adat.regi-<moment>"; the result is opened and checked again, and
// on any failure the replaced file goes back.
RestoreResult FileEngine::restore(const QString &backupPath, const QDateTime &moment)
{
    close();
    // A link in the program folder stays a link: the file it names is the one replaced.
    const QString real = QFileInfo(m_path).canonicalFilePath();
    const QString databasePath = real.isEmpty() ? m_path : real;
    if (!QFileInfo(backupPath).isFile())
        throw Error(QStringLiteral("A mentés nem található: %1").arg(shown(backupPath)));
    const QString kept
        = databasePath + QStringLiteral(".regi-") + moment.toString(QLatin1String(stamp));
    const bool hadDatabase = QFileInfo::exists(databasePath);
    files::SaveOptions options;
    // The restored file keeps the rights of the one it replaces.
    options.permissions = hadDatabase ? QFile::permissions(databasePath) : ownerAndGroup;
    options.notCreated = notCopied.toString();
    options.notSaved = QStringLiteral("A mentés nem tehető az adatbázis helyére: %1 (%2)");
    files::SafeSave save(databasePath, options);
    RestoreResult result;
    try {
        copyInto(save, backupPath);
        result.counts = verifiedCounts(save.temporaryPath());
    } catch (const Error &e) {
        throw Error(QStringLiteral("A mentés nem állítható vissza, mert nem ép, nem olvasható, "
                                   "vagy nem ennek a programnak a változata:\n")
                    + e.message());
    }
    if (hadDatabase) {
        // A journal left by a crash belongs to the file being replaced: opening it rolls the
        // interrupted change back first, so the kept file is whole.
        {
            const FileEngine current(databasePath, Connection::Mode::ExistingAnyVersion);
        }
        if (!QFile::rename(databasePath, kept))
            throw Error(QStringLiteral("Az adatbázis nem nevezhető át: %1 → %2")
                            .arg(shown(databasePath), shown(kept)));
        result.keptPath = kept;
    }
    const auto putBack = [&] {
        QFile::remove(databasePath);
        if (hadDatabase)
            QFile::rename(kept, databasePath);
    };
    try {
        save.commit();
        requireSameCounts(result.counts, verifiedCounts(databasePath), databasePath);
    } catch (...) {
        putBack();
        throw;
    }
    return result;
}

} // namespace db
