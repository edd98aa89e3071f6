#include "connection.h"

#include "clock.h"
#include "connectionfile.h"
#include "schema.h"
#include "serverdialect.h"
#include "serversession.h"
#include "serverstatement.h"
#include "sqltext.h"
#include "statement.h"
#include "values.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

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

// The engine's own wait sleeps ever longer, up to 100 ms, between looks at a busy file: an
// instance that saves again and again then takes the lock back each time before a waiting one
// looks, and the waiting one gives up after its whole wait without a turn. Looking every one to
// three milliseconds (varied, so that waiting instances do not look in step) finds the moment
// between two saves of the busy one.
int waitForTurn(void *state, int attempt)
{
    auto *wait = static_cast<LockWait *>(state);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (attempt == 0)
        wait->startedMs = now;
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

// The engine speaks English; the person reading the message gets a Hungarian sentence
// first and the engine's own words after it.
QString hungarianLead(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Az adatbázist egy másik felhasználó éppen zárolja, "
                              "próbálja újra később");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Az adat nem felel meg az adatbázis szabályainak");
    case SQLITE_MISMATCH:
        return QStringLiteral("Az érték típusa nem megfelelő");
    case SQLITE_READONLY:
        return QStringLiteral("Az adatbázis csak olvasható");
    case SQLITE_FULL:
        return QStringLiteral("Megtelt a lemez");
    case SQLITE_IOERR:
        return QStringLiteral("Lemezhiba az adatbázis elérésekor");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Az adatbázisfájl sérült");
    case SQLITE_CANTOPEN:
        return QStringLiteral("Az adatbázisfájl nem nyitható meg");
    case SQLITE_NOMEM:
        return QStringLiteral("Elfogyott a memória");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("Az adatbázishoz nincs hozzáférési jog");
    case SQLITE_TOOBIG:
        return QStringLiteral("Az érték túl nagy");
    case SQLITE_RANGE:
        return QStringLiteral("Hibás paraméter");
    case SQLITE_ERROR:
        return QStringLiteral("Hibás adatbázis-utasítás");
    default:
        return QStringLiteral("Adatbázishiba (%1)").arg(rc);
    }
}

// The engine needs to create and delete its journal beside the database: in a folder this
// user may not write it fails with "unable to open database file" or "disk I/O error", which
// tells the user nothing of the cause. Only those failures are blamed on the folder, and only
// when the folder really is not writable, so a true disk fault keeps its own message.
bool folderRefusesWriting(const QString &databasePath, int rc)
{
    const int family = rc & 0xff;
    if (databasePath.isEmpty()
        || (family != SQLITE_CANTOPEN && family != SQLITE_IOERR && family != SQLITE_READONLY))
        return false;
    return !QFileInfo(QFileInfo(databasePath).absolutePath()).isWritable();
}

QString folderLead(const QString &databasePath)
{
    return QStringLiteral("A program nem tud írni az adatbázisfájl (%1) mappájába. Az adatbázis "
                          "mappájának a program minden felhasználója számára írhatónak kell "
                          "lennie: kérje meg a rendszergazdát, hogy adjon rá írási jogot")
        .arg(shownPath(databasePath));
}

Error engineError(sqlite3 *db, int rc, const QString &databasePath = {})
{
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    const QString detail
        = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString lead = folderRefusesWriting(databasePath, code ? code : rc)
                             ? folderLead(databasePath)
                             : hungarianLead(rc);
    return Error(lead + QStringLiteral(": ") + detail, code ? code : rc);
}

// NOW() of the statement texts: the program's local clock, as stored date-time text.
void nowFunction(sqlite3_context *context, int, sqlite3_value **)
{
    const QByteArray text = storedDateTimeText(db::now()).toUtf8();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

void Connection::open(const QString &path, Mode mode)
{
    close();
    const QString shown = shownPath(path);
    const QFileInfo info(path);
    bool created = false;
    if (mode == Mode::CreateNew) {
        if (info.exists())
            throw Error(QStringLiteral("A fájl már létezik, nem hozható létre új adatbázis: %1")
                            .arg(shown));
        // Made here, exclusively, so that a file someone else makes meanwhile is never taken
        // over (nor removed when this one fails).
        // Owner and group only: the department's users share a group, nobody else reads the
        // patients; set again after opening, as the umask may have taken the group's rights.
        const QFileDevice::Permissions ownerAndGroup
            = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
              | QFileDevice::WriteGroup;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerAndGroup))
            throw Error(QStringLiteral("Az adatbázisfájl nem hozható létre: %1").arg(shown));
        created = true;
        file.setPermissions(ownerAndGroup);
    } else if (!info.exists()) {
        // A file in a folder the user may not enter (the ward's data folder, for anyone outside
        // its group) is not missing: the user is refused.
        std::error_code denied;
        (void)std::filesystem::status(std::filesystem::path(path.toStdU16String()), denied);
        if (denied == std::errc::permission_denied)
            throw Error(QStringLiteral("Nincs jogosultsága az adatbázisfájlhoz: %1. Az osztály "
                                       "adataihoz a rendszergazda adhat hozzáférést.")
                            .arg(shown));
        throw Error(QStringLiteral("Az adatbázisfájl nem található: %1").arg(shown));
    } else if (!info.isFile()) {
        throw Error(QStringLiteral("Az adatbázis helyén nem fájl áll: %1").arg(shown));
    }

    const auto removeCreated = [&] {
        if (created)
            QFile::remove(path);
    };
    sqlite3 *handle = nullptr;
    const QByteArray fileName = path.toUtf8();
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
                    rc);
    }
    const QByteArray key = schema::databaseKey();
    rc = sqlite3_key(handle, key.constData(), int(key.size()));
    m_lockWait.jitter = QRandomGenerator::global()->generate();
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_handler(handle, &waitForTurn, &m_lockWait);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(handle, "NOW", 0, SQLITE_UTF8, nullptr, &nowFunction,
                                        nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const Error error = engineError(handle, rc);
        sqlite3_close_v2(handle);
        removeCreated();
        throw error;
    }
    m_db = handle;
    m_path = path;

    try {
        // The key is only tried at the first read: a wrong key or a file that is not a
        // database shows here, not at some later statement.
        sqlite3_stmt *probe = nullptr;
        rc = sqlite3_prepare_v2(m_db, "SELECT count(*) FROM sqlite_master", -1, &probe, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_step(probe);
        sqlite3_finalize(probe);
        if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT)
            throw Error(QStringLiteral("A fájl nem a program adatbázisa, sérült, vagy más jelszó "
                                       "védi: %1")
                            .arg(shown),
                        rc);
        // A journal left by a crash must be rolled back before the first read.
        if (rc != SQLITE_ROW && folderRefusesWriting(path, rc))
            throw engineError(m_db, rc, path);
        if (rc != SQLITE_ROW)
            throw Error(QStringLiteral("Az adatbázisfájl nem olvasható: %1 (%2)")
                            .arg(shown, QString::fromUtf8(sqlite3_errmsg(m_db))),
                        rc);
        // Only once the key has proved right: the pragma reads the file.
        check(sqlite3_exec(m_db, pageCachePragma, nullptr, nullptr, nullptr));
        if (mode != Mode::CreateNew && sqlite3_db_readonly(m_db, "main") == 1)
            throw Error(QStringLiteral("Az adatbázisfájl csak olvasható, a program nem tud bele "
                                       "írni: %1")
                            .arg(shown));

        if (mode == Mode::Existing) {
            const int version = userVersion();
            if (version == 0)
                throw Error(QStringLiteral("A fájl nem a program adatbázisa (nincsenek benne a "
                                           "program táblái): %1")
                                .arg(shown));
            if (version > 0 && version < schema::currentVersion)
                throw Error(QStringLiteral("Az adatbázisfájl régebbi változatú (%1. verzió): %2\n"
                                           "Frissítse a következő paranccsal: "
                                           "vazuvede-init --upgrade %2")
                                .arg(version)
                                .arg(shown));
            if (version != schema::currentVersion)
                throw Error(QStringLiteral("Az adatbázisfájl ismeretlen változatú (%1. verzió), "
                                           "ez a program a(z) %2. verziót ismeri: %3")
                                .arg(version)
                                .arg(schema::currentVersion)
                                .arg(shown));
        }
    } catch (...) {
        close();
        removeCreated();
        throw;
    }
}

void Connection::openServer(const QString &connectionText, Mode mode)
{
    close();
    m_server = std::make_unique<ServerSession>(
        connectionText,
        mode == Mode::Existing ? ServerSession::Check::ProgramSchema : ServerSession::Check::None);
    m_path = m_server->description();
}

void Connection::openProgramDatabase(const QString &programDir)
{
    if (const std::optional<QString> server = connectionfile::read(programDir))
        openServer(*server);
    else
        open(QDir(programDir).filePath(QString::fromLatin1(databaseFileName)));
}

void Connection::close()
{
    m_server.reset();
    m_path.clear();
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void Connection::execute(const QString &sql)
{
    if (m_server)
        return m_server->execute(sql);
    if (!m_db)
        throw Error(QStringLiteral("Nincs megnyitva az adatbázis"));
    char *message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    check(rc);
}

QVariant Connection::scalar(const QString &sql)
{
    Statement statement(*this, sql);
    if (!statement.step())
        return {};
    return statement.value(0);
}

int Connection::userVersion()
{
    if (m_server)
        return m_server->schemaVersion();
    return int(scalar(QStringLiteral("PRAGMA user_version")).toLongLong());
}

bool Connection::inTransaction() const
{
    if (m_server)
        return m_server->inTransaction();
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool Connection::transactionFailed() const
{
    return m_server && m_server->transactionFailed();
}

qint64 Connection::lastInsertRowId() const
{
    if (m_server)
        return m_server->lastInsertId();
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

QString Connection::selectAllText(const QString &name) const
{
    if (m_server)
        return QStringLiteral("SELECT * FROM ") + serverdialect::tableName(name);
    return QStringLiteral("SELECT * FROM ") + quotedIdentifier(name);
}

QString Connection::savepointName(const QString &name) const
{
    return m_server ? serverdialect::tableName(name) : quotedIdentifier(name);
}

void Connection::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    throw engineError(m_db, rc, m_path);
}

} // namespace db
