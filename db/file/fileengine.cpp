#include "fileengine.h"

#include "fileerror.h"
#include "filestatement.h"

#include "db/clock.h"
#include "db/messages.h"
#include "db/schema.h"
#include "db/values.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include <sqlite3.h>

// The SQLCipher header and library, never Debian's plain SQLite: with the wrong one
// sqlite3_key is missing or crashes.
#if !defined(SQLITE_HAS_CODEC) || SQLITE_VERSION_NUMBER >= 3020000
#error "Build against SQLCipher's own sqlite3.h (SQLCipher 3.x, SQLITE_HAS_CODEC defined)"
#endif

namespace db {

namespace {

// Decrypted pages kept in memory (16 MB at most): a list of 100,000 members read through its
// covering index fits, so reading it again after a member dialog decrypts nothing twice.
constexpr auto pageCachePragma = "PRAGMA cache_size = -16384";
// While many rows are written at once.
constexpr int bulkCacheKilobytes = 65536;

using Mode = Connection::Mode;
using Use = Connection::Use;

// The engine's own wait sleeps ever longer, up to 100 ms, between looks at a busy file: an
// instance that saves again and again then takes the lock back each time before a waiting one
// looks, and the waiting one gives up after its whole wait without a turn. Looking every one to
// three milliseconds (varied, so that waiting instances do not look in step) finds the moment
// between two saves of the busy one.
std::atomic<int> waitsBegun = 0;

int waitForTurn(void *state, int attempt)
{
    auto *wait = static_cast<LockWait *>(state);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (attempt == 0) {
        wait->startedMs = now;
        ++waitsBegun;
    }
    if (now - wait->startedMs >= busyTimeoutMs)
        return 0;
    wait->jitter = wait->jitter * 1664525U + 1013904223U;
    std::this_thread::sleep_for(std::chrono::microseconds(1000 + (wait->jitter >> 8) % 2000));
    return 1;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// NOW() of the statement texts: the program's local clock, as stored date-time text.
void nowFunction(sqlite3_context *context, int, sqlite3_value **)
{
    const QByteArray text = storedDateTimeText(db::now()).toUtf8();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

// Owner and group only: the department's users share a group, nobody else reads the patients.
const QFileDevice::Permissions ownerAndGroup = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                               | QFileDevice::ReadGroup | QFileDevice::WriteGroup;

// Checks the path before the engine sees it; makes the file for CreateNew. Returns whether
// it made one.
bool prepareFile(const QString &path, Mode mode)
{
    const QString shown = shownPath(path);
    const QFileInfo info(path);
    if (mode == Mode::CreateNew) {
        if (info.exists())
            throw Error(QStringLiteral("A fájl már létezik, nem hozható létre új adatbázis: %1")
                            .arg(shown));
        // Made here, exclusively, so that a file someone else makes meanwhile is never taken
        // over (nor removed when this one fails). The rights are set again after opening, as
        // the umask may have taken the group's.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerAndGroup))
            throw Error(QStringLiteral("Az adatbázisfájl nem hozható létre: %1").arg(shown));
        file.setPermissions(ownerAndGroup);
        return true;
    }
    if (!info.exists()) {
        // A file in a folder the user may not enter (the ward's data folder, for anyone outside
        // its group) is not missing: the user is refused.
        std::error_code denied;
        (void)std::filesystem::status(std::filesystem::path(path.toStdU16String()), denied);
        if (denied == std::errc::permission_denied)
            throw Error(QStringLiteral("Nincs jogosultsága az adatbázisfájlhoz: %1. Az osztály "
                                       "adataihoz a rendszergazda adhat hozzáférést.")
                            .arg(shown),
                        ErrorKind::Permission);
        throw Error(QStringLiteral("Az adatbázisfájl nem található: %1").arg(shown),
                    ErrorKind::CantOpen);
    }
    if (!info.isFile())
        throw Error(QStringLiteral("Az adatbázis helyén nem fájl áll: %1").arg(shown),
                    ErrorKind::CantOpen);
    return false;
}

} // namespace

FileEngine::FileEngine(const QString &path)
    : m_path(path)
{
}

FileEngine::FileEngine(const QString &path, Mode mode)
    : m_path(path)
{
    open(mode);
}

std::unique_ptr<FileEngine> FileEngine::openDepartmentFile(const QString &path, Use use)
{
    std::unique_ptr<FileEngine> engine(new FileEngine(path));
    const bool alone = use == Use::Alone || use == Use::Restore;
    const QString shown = shownPath(path);
    switch (
        engine->m_lock.tryLock(path, alone ? UseLock::Kind::Exclusive : UseLock::Kind::Shared)) {
    case UseLock::Result::Busy:
        if (alone)
            throw Error(QStringLiteral("Az adatbázist most is használja valaki (a program egy "
                                       "példánya vagy ez az eszköz), ezért ez most nem "
                                       "végezhető el: %1\nZárja be a programot minden gépen, "
                                       "majd próbálja újra. Semmi sem változott.")
                            .arg(shown),
                        ErrorKind::Busy);
        throw Error(QStringLiteral("Az adatbázist éppen visszaállítják egy mentésből, ezért most "
                                   "nem nyitható meg: %1\nPróbálja újra néhány perc múlva!")
                        .arg(shown),
                    ErrorKind::Busy);
    case UseLock::Result::Unavailable:
        // Where the side file cannot be made the folder is not writable either, and opening
        // the database says so in its own words; only working alone needs the lock itself.
        if (alone)
            throw Error(
                QStringLiteral("Az adatbázis zárolása nem sikerült (%1): %2")
                    .arg(engine->m_lock.errorString(), shownPath(UseLock::sideFilePath(path))),
                ErrorKind::CantOpen);
        break;
    case UseLock::Result::Locked:
        break;
    }
    if (use != Use::Restore)
        engine->open(use == Use::Upkeep ? Mode::ExistingAnyVersion : Mode::Existing);
    return engine;
}

FileEngine::~FileEngine()
{
    close();
}

QByteArray FileEngine::key()
{
    return QByteArrayLiteral("hJumbeli");
}

void FileEngine::open(Mode mode)
{
    close();
    const bool created = prepareFile(m_path, mode);
    const QString shown = shownPath(m_path);
    const auto removeCreated = [&] {
        if (created)
            QFile::remove(m_path);
    };
    sqlite3 *handle = nullptr;
    const QByteArray fileName = m_path.toUtf8();
    // Each connection belongs to the one thread that opened it (the program has no other
    // thread that reads the database), so the engine's lock around every call is left out.
    int rc = sqlite3_open_v2(fileName.constData(), &handle,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString detail = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                                      : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(handle);
        removeCreated();
        throw Error(QStringLiteral("Az adatbázisfájl nem nyitható meg: %1 (%2)").arg(shown, detail),
                    fileerror::kindOf(rc));
    }
    const QByteArray secret = key();
    rc = sqlite3_key(handle, secret.constData(), int(secret.size()));
    m_lockWait.jitter = QRandomGenerator::global()->generate();
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_handler(handle, &waitForTurn, &m_lockWait);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(handle, "NOW", 0, SQLITE_UTF8, nullptr, &nowFunction,
                                        nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const Error error = fileerror::engineError(handle, rc);
        sqlite3_close_v2(handle);
        removeCreated();
        throw error;
    }
    m_db = handle;
    try {
        requireVersion(mode);
    } catch (...) {
        close();
        removeCreated();
        throw;
    }
}

void FileEngine::requireVersion(Mode mode)
{
    const QString shown = shownPath(m_path);
    // The key is only tried at the first read: a wrong key or a file that is not a database
    // shows here, not at some later statement.
    sqlite3_stmt *probe = nullptr;
    int rc = sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(probe);
    sqlite3_finalize(probe);
    if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
        throw Error(QStringLiteral("A fájl nem a program adatbázisa, sérült, vagy más jelszó "
                                   "védi: %1")
                        .arg(shown),
                    ErrorKind::Corrupt);
    // A journal left by a crash must be rolled back before the first read.
    if (rc != SQLITE_ROW && fileerror::folderRefusesWriting(m_path, rc))
        throw fileerror::engineError(m_db, rc, m_path);
    if (rc != SQLITE_ROW)
        throw Error(QStringLiteral("Az adatbázisfájl nem olvasható: %1 (%2)")
                        .arg(shown, QString::fromUtf8(sqlite3_errmsg(m_db))),
                    fileerror::kindOf(rc));
    // Only once the key has proved right: the pragma reads the file.
    check(sqlite3_exec(m_db, pageCachePragma, nullptr, nullptr, nullptr));
    if (mode != Mode::CreateNew && sqlite3_db_readonly(m_db, "main") == 1)
        throw Error(QStringLiteral("Az adatbázisfájl csak olvasható, a program nem tud bele "
                                   "írni: %1")
                        .arg(shown),
                    ErrorKind::ReadOnly);
    if (mode == Mode::Existing)
        schema::requireCurrentVersion(schemaVersion(), shown,
                                      QStringLiteral("vazuvede-init --upgrade ") + shown);
}

void FileEngine::close()
{
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

sqlite3 *FileEngine::handle() const
{
    if (!m_db)
        throw Error(message::notOpen.toString());
    return m_db;
}

void FileEngine::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    throw fileerror::engineError(m_db, rc, m_path);
}

std::unique_ptr<EngineStatement> FileEngine::prepare(const QString &sql)
{
    return std::make_unique<FileStatement>(*this, sql);
}

void FileEngine::execute(const QString &sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    check(rc);
}

int FileEngine::lockWaitsBegun()
{
    return waitsBegun;
}

void FileEngine::beginWrite()
{
    // At once, so that a writer waits for the lock instead of deadlocking halfway.
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

bool FileEngine::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

qint64 FileEngine::lastInsertId()
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

int FileEngine::schemaVersion()
{
    sqlite3_stmt *statement = nullptr;
    check(sqlite3_prepare_v2(handle(), "PRAGMA user_version", -1, &statement, nullptr));
    const int rc = sqlite3_step(statement);
    const int version = rc == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    check(rc);
    return version;
}

QString FileEngine::writtenOrderText(const QString &table, const QStringList &columns) const
{
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
        .arg(columns.join(QStringLiteral(", ")), plainIdentifier(table));
}

qint64 FileEngine::highestSerial(const QString &table, const QString &column)
{
    // AUTOINCREMENT keeps the highest number given in sqlite_sequence.
    const QString sql = QStringLiteral("SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                                       "name = '%1'), 0), coalesce((SELECT max(%2) FROM %1), 0))")
                            .arg(plainIdentifier(table), plainIdentifier(column));
    FileStatement statement(*this, sql);
    statement.step();
    return statement.int64(0);
}

QList<TableCount> FileEngine::takeOver(Connection &, const QString &)
{
    throw Error(QStringLiteral("Adatbázisfájlba nem másolható át egy másik adatbázis; az "
                               "adatokat csak a kiszolgálóra lehet átvinni."));
}

void FileEngine::setBulkWriting(bool bulk)
{
    if (bulk) {
        m_cacheSizeBeforeBulk = 0;
        sqlite3_stmt *statement = nullptr;
        check(sqlite3_prepare_v2(handle(), "PRAGMA cache_size", -1, &statement, nullptr));
        if (sqlite3_step(statement) == SQLITE_ROW)
            m_cacheSizeBeforeBulk = sqlite3_column_int64(statement, 0);
        sqlite3_finalize(statement);
        execute(QStringLiteral("PRAGMA cache_size = -%1").arg(bulkCacheKilobytes));
    } else if (m_cacheSizeBeforeBulk != 0) {
        execute(QStringLiteral("PRAGMA cache_size = %1").arg(m_cacheSizeBeforeBulk));
    }
}

qint64 FileEngine::cacheBytes() const
{
    int bytes = 0;
    int highest = 0;
    if (m_db)
        sqlite3_db_status(m_db, SQLITE_DBSTATUS_CACHE_USED, &bytes, &highest, 0);
    return bytes;
}

} // namespace db
