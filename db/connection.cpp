#include "connection.h"

#include "clock.h"
#include "schema.h"
#include "sqltext.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <limits>
#include <system_error>

#include <sqlite3.h>

// The SQLCipher header and library, never Debian's plain SQLite: with the wrong one
// sqlite3_key is missing or crashes.
#if !defined(SQLITE_HAS_CODEC) || SQLITE_VERSION_NUMBER >= 3020000
#error "Build against SQLCipher's own sqlite3.h (SQLCipher 3.x, SQLITE_HAS_CODEC defined)"
#endif

namespace db {

namespace {

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

Error engineError(sqlite3 *db, int rc)
{
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    const QString detail
        = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return Error(hungarianLead(rc) + QStringLiteral(": ") + detail, code ? code : rc);
}

// NOW() of the statement texts: the program's local clock, as stored date-time text.
void nowFunction(sqlite3_context *context, int, sqlite3_value **)
{
    const QByteArray text = db::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    sqlite3_result_text(context, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

} // namespace

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
    int rc = sqlite3_open_v2(fileName.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
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
    if (rc == SQLITE_OK)
        rc = sqlite3_busy_timeout(handle, busyTimeoutMs);
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
        if (rc != SQLITE_ROW)
            throw Error(QStringLiteral("Az adatbázisfájl nem olvasható: %1 (%2)")
                            .arg(shown, QString::fromUtf8(sqlite3_errmsg(m_db))),
                        rc);
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

void Connection::close()
{
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_path.clear();
}

void Connection::execute(const QString &sql)
{
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
    return int(scalar(QStringLiteral("PRAGMA user_version")).toLongLong());
}

bool Connection::inTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

qint64 Connection::lastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

void Connection::check(int rc) const
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    throw engineError(m_db, rc);
}

Statement::Statement(Connection &connection, const QString &sql)
    : m_connection(connection)
{
    if (!connection.handle())
        throw Error(QStringLiteral("Nincs megnyitva az adatbázis"));
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(connection.handle(), text.constData(), int(text.size()),
                                      &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        connection.check(rc);
    }
    if (!m_stmt)
        throw Error(QStringLiteral("Üres adatbázis-utasítás"));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
                throw Error(QStringLiteral("Túl nagy egész érték: %1").arg(value.toString()));
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), quint64(bytes.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate:
            // The stored form of a day; statement texts carry M/D/YYYY instead.
            return bind(index, value.toDate().toString(Qt::ISODate));
        case QMetaType::QDateTime:
            return bind(index, value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, text.constData(), quint64(text.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        }
        }
    }
    m_connection.check(rc);
}

void Statement::bind(const QString &name, const QVariant &value)
{
    const QString full = name.startsWith(u':') ? name : u':' + name;
    const int index = sqlite3_bind_parameter_index(m_stmt, full.toUtf8().constData());
    if (index == 0)
        throw Error(QStringLiteral("Az utasításnak nincs ilyen paramétere: %1").arg(full));
    bind(index, value);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_connection.check(rc);
    return false;
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, column);
    case SQLITE_TEXT:
        return text(column);
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
    }
    default:
        return {};
    }
}

WriteTransaction::WriteTransaction(Connection &connection)
    : m_connection(connection)
{
    m_connection.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

WriteTransaction::~WriteTransaction()
{
    if (!m_done && isOpen())
        sqlite3_exec(m_connection.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool WriteTransaction::isOpen() const
{
    return m_connection.inTransaction();
}

void WriteTransaction::commit()
{
    if (!isOpen())
        throw Error(QStringLiteral("Az adatbázis a hiba miatt már visszavonta a módosításokat"));
    m_connection.execute(QStringLiteral("COMMIT"));
    m_done = true;
}

void WriteTransaction::rollback()
{
    m_done = true;
    if (isOpen())
        m_connection.execute(QStringLiteral("ROLLBACK"));
}

Savepoint::Savepoint(Connection &connection, const QString &name)
    : m_connection(connection)
    , m_name(quotedIdentifier(name))
{
    m_connection.execute(QStringLiteral("SAVEPOINT ") + m_name);
}

Savepoint::~Savepoint()
{
    if (m_done || !m_connection.inTransaction())
        return;
    const QByteArray sql
        = (QStringLiteral("ROLLBACK TO ") + m_name + QStringLiteral("; RELEASE ") + m_name)
              .toUtf8();
    sqlite3_exec(m_connection.handle(), sql.constData(), nullptr, nullptr, nullptr);
}

void Savepoint::release()
{
    m_connection.execute(QStringLiteral("RELEASE ") + m_name);
    m_done = true;
}

void Savepoint::rollback()
{
    m_connection.execute(QStringLiteral("ROLLBACK TO ") + m_name + QStringLiteral("; RELEASE ")
                         + m_name);
    m_done = true;
}

} // namespace db
