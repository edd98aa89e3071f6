#include "serversession.h"

#include "connection.h"
#include "schema.h"

#include <QTimeZone>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace db {

namespace {

QString connectionMessage(pg_conn *conn)
{
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// libpq gives no SQLSTATE for a failed connection: the kind is read from its message.
Error connectFailure(pg_conn *conn, const QString &description)
{
    const QString detail = connectionMessage(conn);
    if (PQconnectionNeedsPassword(conn))
        return Error(QStringLiteral("Az adatbázis-kiszolgáló jelszót kér, de a jelszófájlban "
                                    "(~/.pgpass vagy PGPASSFILE) nincs hozzá jelszó: %1\n%2")
                         .arg(description, detail),
                     SQLITE_AUTH);
    if (detail.contains(QStringLiteral("authentication failed"))
        || detail.contains(QStringLiteral("no pg_hba.conf entry"))
        || (detail.contains(QStringLiteral("role"))
            && detail.contains(QStringLiteral("does not exist"))))
        return Error(QStringLiteral("Az adatbázis-kiszolgáló elutasította a bejelentkezést: "
                                    "%1\n%2")
                         .arg(description, detail),
                     SQLITE_AUTH);
    if (detail.contains(QStringLiteral("database"))
        && detail.contains(QStringLiteral("does not exist")))
        return Error(QStringLiteral("Az adatbázis nem található a kiszolgálón: %1\n%2")
                         .arg(description, detail),
                     SQLITE_CANTOPEN);
    return Error(
        QStringLiteral("Az adatbázis-kiszolgáló nem érhető el: %1\n%2").arg(description, detail),
        SQLITE_CANTOPEN);
}

QString shownConnection(pg_conn *conn)
{
    const QString host = QString::fromUtf8(PQhost(conn));
    const QString name = QString::fromUtf8(PQdb(conn));
    return host.startsWith(u'/') || host.isEmpty()
               ? QStringLiteral("%1 (helyi kiszolgáló)").arg(name)
               : QStringLiteral("%1 (%2:%3)").arg(name, host, QString::fromUtf8(PQport(conn)));
}

} // namespace

ServerErrorKind serverErrorKind(const QByteArray &sqlState)
{
    const QByteArray cls = sqlState.left(2);
    if (sqlState == "55P03" || sqlState == "40P01" || sqlState == "40001")
        return {QStringLiteral("Az adatot egy másik munkaállomás éppen módosítja, és nem "
                               "engedte el időben; próbálja újra később"),
                SQLITE_BUSY};
    if (cls == "23" || cls == "22")
        return {QStringLiteral("Az adat nem felel meg az adatbázis szabályainak"),
                SQLITE_CONSTRAINT};
    if (sqlState == "42501")
        return {QStringLiteral("Az adatbázishoz nincs hozzáférési jog"), SQLITE_PERM};
    if (sqlState == "53100")
        return {QStringLiteral("Megtelt a kiszolgáló lemeze"), SQLITE_FULL};
    if (cls == "53")
        return {QStringLiteral("Elfogytak a kiszolgáló erőforrásai"), SQLITE_NOMEM};
    if (cls == "08" || cls == "57")
        return {QStringLiteral("Megszakadt a kapcsolat az adatbázis-kiszolgálóval"), SQLITE_IOERR};
    if (cls == "25")
        return {QStringLiteral("A módosításokat az adatbázis egy korábbi hiba miatt már "
                               "visszavonta"),
                SQLITE_ABORT};
    if (cls == "42")
        return {QStringLiteral("Hibás adatbázis-utasítás"), SQLITE_ERROR};
    return {QStringLiteral("Adatbázishiba (%1)").arg(QString::fromLatin1(sqlState)), SQLITE_ERROR};
}

ServerSession::ServerSession(const QString &connectionText, Check check)
{
    m_conn = PQconnectdb(connectionText.toUtf8().constData());
    if (!m_conn)
        throw Error(QStringLiteral("Elfogyott a memória"), SQLITE_NOMEM);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const Error error = connectFailure(m_conn, connectionText);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw error;
    }
    m_description = shownConnection(m_conn);
    try {
        // NOW() writes the workstation's wall clock, as the file's own NOW() does.
        const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
        execute(QStringLiteral("SET client_encoding = 'UTF8'; SET datestyle = 'ISO, MDY'; "
                               "SET lock_timeout = %1; SET TimeZone = '%2'")
                    .arg(busyTimeoutMs)
                    .arg(zone.isEmpty() || zone.contains(u'\'') ? QStringLiteral("UTC") : zone));
        if (check == Check::ProgramSchema) {
            const int version = schemaVersion();
            if (version == 0)
                throw Error(QStringLiteral("A kiszolgáló adatbázisában nincsenek a program "
                                           "táblái: %1\nHozza létre őket a vazuvede-admin "
                                           "eszközzel.")
                                .arg(m_description));
            if (version != schema::currentVersion)
                throw Error(QStringLiteral("A kiszolgáló adatbázisa ismeretlen változatú (%1. "
                                           "verzió), ez a program a(z) %2. verziót ismeri: %3")
                                .arg(version)
                                .arg(schema::currentVersion)
                                .arg(m_description));
        }
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

ServerSession::~ServerSession()
{
    PQfinish(m_conn);
}

void ServerSession::execute(const QString &sql)
{
    PQclear(checked(PQexec(m_conn, sql.toUtf8().constData())));
}

bool ServerSession::inTransaction() const
{
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE
           && PQtransactionStatus(m_conn) != PQTRANS_UNKNOWN;
}

bool ServerSession::transactionFailed() const
{
    return PQtransactionStatus(m_conn) == PQTRANS_INERROR;
}

qint64 ServerSession::lastInsertId()
{
    // lastval() fails in a session that never inserted a row; the file engine says 0 then.
    pg_result *result = PQexec(m_conn, "SELECT lastval()");
    qint64 id = 0;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1)
        id = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    return id;
}

int ServerSession::schemaVersion()
{
    // Asked in two steps: a statement naming a missing table fails (and aborts a transaction).
    pg_result *result = checked(PQexec(m_conn, "SELECT to_regclass('valtozat') IS NOT NULL"));
    const bool present = PQgetvalue(result, 0, 0)[0] == 't';
    PQclear(result);
    if (!present)
        return 0;
    result = checked(PQexec(m_conn, "SELECT max(szam) FROM valtozat"));
    const int version
        = PQgetisnull(result, 0, 0) ? 0 : QByteArray(PQgetvalue(result, 0, 0)).toInt();
    PQclear(result);
    return version;
}

pg_result *ServerSession::checked(pg_result *result) const
{
    const ExecStatusType status = PQresultStatus(result);
    if (result
        && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE
            || status == PGRES_EMPTY_QUERY))
        return result;
    fail(result);
}

void ServerSession::fail(pg_result *result) const
{
    const QByteArray state
        = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray("08000");
    QString detail
        = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn))
              .trimmed();
    PQclear(result);
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        const ServerErrorKind kind = serverErrorKind("08000");
        throw Error(kind.lead + QStringLiteral(": ") + detail, kind.code);
    }
    const ServerErrorKind kind = serverErrorKind(state);
    // A wait that ran out says all there is to say in the lead; the server's words would only
    // add English.
    if (kind.code == SQLITE_BUSY)
        throw Error(kind.lead + u'.', kind.code);
    throw Error(kind.lead + QStringLiteral(": ") + detail, kind.code);
}

} // namespace db
