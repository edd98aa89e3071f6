#include "backup.h"

#include "db/connection.h"
#include "db/schema.h"
#include "db/statement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

namespace admin {

namespace {

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

// The copy holds what the source held, table by table.
void requireSameCounts(const RowCounts &expected, const RowCounts &actual, const QString &path)
{
    if (expected != actual)
        throw db::Error(QStringLiteral("A(z) %1 sorai nem egyeznek a forráséval.\nForrás: %2\n"
                                       "Másolat: %3")
                            .arg(shown(path), countsText(expected), countsText(actual)));
}

// Opens the file as the program would (current schema version), checks it and counts its rows.
RowCounts verifiedCounts(const QString &path)
{
    db::Connection connection;
    connection.open(path);
    const QStringList problems = integrityProblems(connection);
    if (!problems.isEmpty())
        throw db::Error(QStringLiteral("A(z) %1 sérült:\n%2")
                            .arg(shown(path), problems.mid(0, 10).join(u'\n')));
    return rowCounts(connection);
}

void copyPages(db::Connection &source, db::Connection &target)
{
    sqlite3_backup *backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        target.check(sqlite3_errcode(target.handle()));
    int rc = SQLITE_OK;
    // All pages in one step: one consistent picture of the file. A step that finds the file
    // locked is tried again for about as long as a writer of the program would wait.
    for (int attempt = 0; attempt < db::busyTimeoutMs / 100; ++attempt) {
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

RowCounts rowCounts(db::Connection &connection)
{
    QStringList tables;
    {
        db::Statement names(connection, QStringLiteral("SELECT name FROM sqlite_master WHERE type "
                                                       "= 'table' ORDER BY name"));
        while (names.step())
            tables << names.text(0);
    }
    RowCounts counts;
    for (const QString &table : tables) {
        QString quoted = table;
        quoted.replace(u'"', QStringLiteral("\"\""));
        counts.insert(table,
                      connection.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(quoted))
                          .toLongLong());
    }
    return counts;
}

QStringList integrityProblems(db::Connection &connection)
{
    db::Statement check(connection, QStringLiteral("PRAGMA integrity_check"));
    QStringList lines;
    while (check.step())
        lines << check.text(0);
    if (lines == QStringList{QStringLiteral("ok")})
        return {};
    return lines;
}

QString backupFileName(const QDateTime &moment)
{
    return QStringLiteral("Vazuvede-") + moment.toString(QLatin1String(stamp))
           + QStringLiteral(".adat");
}

BackupResult backupDatabase(const QString &databasePath, const QString &folder,
                            const QDateTime &moment)
{
    if (!QDir().mkpath(folder))
        throw db::Error(
            QStringLiteral("A mentések mappája nem hozható létre: %1").arg(shown(folder)));
    const QString path = QDir(folder).filePath(backupFileName(moment));

    db::Connection source;
    source.open(databasePath);
    BackupResult result;
    result.path = path;
    {
        db::Connection target;
        target.open(path, db::Connection::Mode::CreateNew);
        try {
            QFile::setPermissions(path, ownerAndGroup);
            // The counts and the copy come from one read transaction: the same moment.
            source.execute(QStringLiteral("BEGIN"));
            result.counts = rowCounts(source);
            copyPages(source, target);
            source.execute(QStringLiteral("COMMIT"));
            target.close();
            requireSameCounts(result.counts, verifiedCounts(path), path);
        } catch (...) {
            if (source.inTransaction())
                sqlite3_exec(source.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            target.close();
            QFile::remove(path);
            QFile::remove(path + QStringLiteral("-journal"));
            throw;
        }
    }
    return result;
}

RestoreResult restoreDatabase(const QString &linkedPath, const QString &backupPath,
                              const QDateTime &moment)
{
    // A link in the program folder stays a link: the file it names is the one replaced.
    const QString real = QFileInfo(linkedPath).canonicalFilePath();
    const QString databasePath = real.isEmpty() ? linkedPath : real;
    if (!QFileInfo(backupPath).isFile())
        throw db::Error(QStringLiteral("A mentés nem található: %1").arg(shown(backupPath)));
    const QString incoming = databasePath + QStringLiteral("-uj");
    const QString kept
        = databasePath + QStringLiteral(".regi-") + moment.toString(QLatin1String(stamp));
    QFile::remove(incoming);
    if (!QFile::copy(backupPath, incoming))
        throw db::Error(
            QStringLiteral("A mentés nem másolható az adatbázis mellé: %1").arg(shown(incoming)));
    RestoreResult result;
    try {
        QFile::setPermissions(incoming, QFileInfo::exists(databasePath)
                                            ? QFile::permissions(databasePath)
                                            : ownerAndGroup);
        result.counts = verifiedCounts(incoming);
    } catch (const db::Error &e) {
        QFile::remove(incoming);
        throw db::Error(QStringLiteral("A mentés nem állítható vissza, mert nem ép, vagy nem "
                                       "ennek a programnak a változata:\n")
                        + e.message());
    }

    const bool hadDatabase = QFileInfo::exists(databasePath);
    if (hadDatabase) {
        // A journal left by a crash belongs to the file being replaced: opening it rolls the
        // interrupted change back first, so the kept file is whole.
        {
            db::Connection current;
            current.open(databasePath, db::Connection::Mode::ExistingAnyVersion);
        }
        if (!QFile::rename(databasePath, kept)) {
            QFile::remove(incoming);
            throw db::Error(QStringLiteral("Az adatbázis nem nevezhető át: %1 → %2")
                                .arg(shown(databasePath), shown(kept)));
        }
        result.keptPath = kept;
    }
    const auto putBack = [&] {
        QFile::remove(databasePath);
        if (hadDatabase)
            QFile::rename(kept, databasePath);
    };
    if (!QFile::rename(incoming, databasePath)) {
        QFile::remove(incoming);
        putBack();
        throw db::Error(QStringLiteral("A mentés nem tehető az adatbázis helyére: %1")
                            .arg(shown(databasePath)));
    }
    try {
        requireSameCounts(result.counts, verifiedCounts(databasePath), databasePath);
    } catch (...) {
        putBack();
        throw;
    }
    return result;
}

CheckResult checkDatabase(const QString &path)
{
    CheckResult result;
    db::Connection connection;
    try {
        connection.open(path, db::Connection::Mode::ExistingAnyVersion);
    } catch (const db::Error &e) {
        result.verdict
            = QStringLiteral("Az adatbázis NEM HASZNÁLHATÓ: %1\n%2").arg(shown(path), e.message());
        return result;
    }
    QStringList problems;
    try {
        problems = integrityProblems(connection);
    } catch (const db::Error &e) {
        // A damaged page stops the check itself: that is the verdict too.
        problems << QStringLiteral("Egy lap nem olvasható vissza (sérült, vagy nem illik rá a "
                                   "titkosítás ellenőrző kódja): ")
                        + e.message();
    }
    if (!problems.isEmpty()) {
        result.verdict = QStringLiteral("Az adatbázis SÉRÜLT: %1\nAz első hibák:\n%2")
                             .arg(shown(path), problems.mid(0, 10).join(u'\n'));
        return result;
    }
    const int version = connection.userVersion();
    const RowCounts counts = rowCounts(connection);
    qint64 total = 0;
    for (const qint64 n : counts)
        total += n;
    result.intact = true;
    result.verdict = QStringLiteral("Az adatbázis ép: %1\n%2 tábla, összesen %3 sor (%4).")
                         .arg(shown(path))
                         .arg(counts.size())
                         .arg(total)
                         .arg(countsText(counts));
    if (version != db::schema::currentVersion)
        result.verdict += QStringLiteral("\nA fájl a(z) %1. változatú, a program a(z) %2. "
                                         "változatot használja: frissítse a vazuvede-init "
                                         "--upgrade paranccsal.")
                              .arg(version)
                              .arg(db::schema::currentVersion);
    return result;
}

} // namespace admin
