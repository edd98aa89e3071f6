#include "serverengine.h"

#include "serverstatement.h"

#include "db/messages.h"
#include "db/schema.h"

#include <QTimeZone>

#include <libpq-fe.h>

#include <poll.h>

namespace db {

namespace {

struct ServerErrorKind
{
    QString lead;
    ErrorKind kind = ErrorKind::Other;
};

// The Hungarian lead of a server error and its kind, from the error's SQLSTATE.
ServerErrorKind serverErrorKind(const QByteArray &sqlState)
{
    const QByteArray cls = sqlState.left(2);
    if (sqlState == "55P03" || sqlState == "40P01" || sqlState == "40001")
        return {QStringLiteral("Az adatot egy másik munkaállomás éppen módosítja, és nem "
                               "engedte el időben; próbálja újra később"),
                ErrorKind::Busy};
    if (cls == "23" || cls == "22")
        return {errorLead(ErrorKind::Constraint), ErrorKind::Constraint};
    if (sqlState == "42501")
        return {errorLead(ErrorKind::Permission), ErrorKind::Permission};
    if (sqlState == "53100")
        return {QStringLiteral("Megtelt a kiszolgáló lemeze"), ErrorKind::Full};
    if (cls == "53")
        return {QStringLiteral("Elfogytak a kiszolgáló erőforrásai"), ErrorKind::NoMemory};
    if (cls == "08" || cls == "57")
        return {errorLead(ErrorKind::Disconnected), ErrorKind::Disconnected};
    if (cls == "25")
        return {errorLead(ErrorKind::Aborted), ErrorKind::Aborted};
    if (cls == "42")
        return {errorLead(ErrorKind::Statement), ErrorKind::Statement};
    return {QStringLiteral("Adatbázishiba (%1)").arg(QString::fromLatin1(sqlState)),
            ErrorKind::Other};
}

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
                     ErrorKind::Permission);
    if (detail.contains(QStringLiteral("authentication failed"))
        || detail.contains(QStringLiteral("no pg_hba.conf entry"))
        || (detail.contains(QStringLiteral("role"))
            && detail.contains(QStringLiteral("does not exist"))))
        return Error(QStringLiteral("Az adatbázis-kiszolgáló elutasította a bejelentkezést: "
                                    "%1\n%2")
                         .arg(description, detail),
                     ErrorKind::Permission);
    if (detail.contains(QStringLiteral("database"))
        && detail.contains(QStringLiteral("does not exist")))
        return Error(QStringLiteral("Az adatbázis nem található a kiszolgálón: %1\n%2")
                         .arg(description, detail),
                     ErrorKind::CantOpen);
    return Error(message::serverUnreachable.toString().arg(description) + u'\n' + detail,
                 ErrorKind::Disconnected);
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

ServerEngine::ServerEngine(const QString &connectionText, Connection::Mode mode)
    : m_connectionText(connectionText)
{
    // A server computer that is off answers nothing: the program waits as long as a person
    // would, not the system's two minutes, unless the connection text says otherwise.
    const QByteArray text = connectionText.toUtf8();
    const char *const keywords[] = {"connect_timeout", "dbname", nullptr};
    const char *const values[] = {"10", text.constData(), nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (!m_conn)
        throw Error(errorLead(ErrorKind::NoMemory), ErrorKind::NoMemory);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const Error error = connectFailure(m_conn, connectionText);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw error;
    }
    m_description = shownConnection(m_conn);
    try {
        startSession();
        if (mode == Connection::Mode::Existing)
            schema::requireCurrentVersion(schemaVersion(), m_description,
                                          QStringLiteral("vazuvede-admin frissites"));
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

void ServerEngine::startSession()
{
    // NOW() writes the workstation's wall clock, as the file's own NOW() does.
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    const QString settings
        = QStringLiteral("SET client_encoding = 'UTF8'; SET datestyle = 'ISO, MDY'; "
                         "SET lock_timeout = %1; SET TimeZone = '%2'")
              .arg(busyTimeoutMs)
              .arg(zone.isEmpty() || zone.contains(u'\'') ? QStringLiteral("UTC") : zone);
    pg_result *result = PQexec(m_conn, settings.toUtf8().constData());
    if (PQresultStatus(result) == PGRES_COMMAND_OK) {
        PQclear(result);
        return;
    }
    // A setting the server refuses is its error; a session that ends at once, a server not
    // there yet.
    if (PQstatus(m_conn) == CONNECTION_OK)
        fail(result);
    PQclear(result);
    throw Error(message::serverUnreachable.toString().arg(m_description), ErrorKind::Disconnected);
}

ServerEngine::~ServerEngine()
{
    PQfinish(m_conn);
}

std::unique_ptr<EngineStatement> ServerEngine::prepare(const QString &sql)
{
    return std::make_unique<ServerStatement>(*this, sql);
}

void ServerEngine::execute(const QString &sql)
{
    PQclear(exec(sql.toUtf8()));
}

pg_result *ServerEngine::exec(const QByteArray &sql)
{
    return checked(exchange(serverdialect::role(QString::fromUtf8(sql)),
                            [this, &sql] { return PQexec(m_conn, sql.constData()); }));
}

namespace {

bool insideTransaction(PGTransactionStatusType status)
{
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

void drain(pg_conn *conn)
{
    while (pg_result *rest = PQgetResult(conn))
        PQclear(rest);
}

} // namespace

pg_result *ServerEngine::exchange(serverdialect::Role role,
                                  const std::function<pg_result *()> &send)
{
    using serverdialect::Role;
    if (m_lostTransaction) {
        // The transaction's owner ends it; until then nothing of it may go on, nor anything
        // after it that would believe it whole.
        if (role == Role::Rollback || role == Role::Commit)
            m_lostTransaction = false;
        if (role == Role::Rollback)
            return PQmakeEmptyPGresult(m_conn, PGRES_COMMAND_OK);
        throw Error(message::connectionLost.toString(), ErrorKind::Disconnected);
    }
    const PGTransactionStatusType status = PQtransactionStatus(m_conn);
    if (!insideTransaction(status) && status != PQTRANS_ACTIVE && !sessionAlive()) {
        if (role == Role::Rollback)
            return PQmakeEmptyPGresult(m_conn, PGRES_COMMAND_OK);
        reconnect();
    }
    m_sentRole = role;
    m_sentInTransaction = insideTransaction(status);
    for (bool again = !m_sentInTransaction && role == Role::Rerunnable;; again = false) {
        pg_result *result = send();
        if (PQstatus(m_conn) == CONNECTION_OK) {
            // A stream still running keeps the state it was sent in.
            if (PQtransactionStatus(m_conn) != PQTRANS_ACTIVE)
                m_sentInTransaction = insideTransaction(PQtransactionStatus(m_conn));
            return result;
        }
        PQclear(result);
        drain(m_conn);
        if (role == Role::Rollback)
            return PQmakeEmptyPGresult(m_conn, PGRES_COMMAND_OK);
        if (!again)
            lose();
        reconnect();
    }
}

void ServerEngine::lose()
{
    using serverdialect::Role;
    if (m_sentRole == Role::Commit || (!m_sentInTransaction && m_sentRole == Role::Write))
        throw Error(message::saveOutcomeUnknown.toString(), ErrorKind::Disconnected);
    m_lostTransaction = m_sentInTransaction;
    throw Error(message::connectionLost.toString(), ErrorKind::Disconnected);
}

bool ServerEngine::sessionAlive()
{
    // Nothing comes unasked on an idle session but the server's last words before it ends
    // the session (a restart, an administrator): they and the closed socket are read here,
    // before anything of the next statement is sent.
    for (int read = 0; read < 16 && PQstatus(m_conn) == CONNECTION_OK; ++read) {
        pollfd waiting{PQsocket(m_conn), POLLIN, 0};
        if (poll(&waiting, 1, 0) <= 0 || !PQconsumeInput(m_conn))
            break;
        while (PGnotify *notice = PQnotifies(m_conn))
            PQfreemem(notice);
    }
    return PQstatus(m_conn) == CONNECTION_OK;
}

void ServerEngine::reconnect()
{
    PQreset(m_conn);
    if (PQstatus(m_conn) == CONNECTION_OK) {
        try {
            startSession();
            return;
        } catch (const Error &) {
            // A server that ends the new session at once is not there yet either.
        }
    }
    throw Error(message::serverUnreachable.toString().arg(m_description) + QStringLiteral(". ")
                    + message::nothingChanged.toString(),
                ErrorKind::Disconnected);
}

void ServerEngine::abandonTransaction()
{
    m_lostTransaction = false;
    if (PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) != PQTRANS_IDLE)
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

void ServerEngine::beginWrite()
{
    // The server locks rows and tables as they are written (or guarded).
    execute(QStringLiteral("BEGIN"));
}

bool ServerEngine::inTransaction() const
{
    return m_lostTransaction
           || (PQtransactionStatus(m_conn) != PQTRANS_IDLE
               && PQtransactionStatus(m_conn) != PQTRANS_UNKNOWN);
}

bool ServerEngine::transactionFailed() const
{
    return m_lostTransaction || PQtransactionStatus(m_conn) == PQTRANS_INERROR;
}

void ServerEngine::guardTable(const QString &table)
{
    execute(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table));
}

void ServerEngine::guardRow(const QString &table, const QString &keyColumn, qint64 key)
{
    execute(
        QStringLiteral("SELECT 1 FROM %1 WHERE %2 = %3 FOR UPDATE").arg(table, keyColumn).arg(key));
}

qint64 ServerEngine::lastInsertId()
{
    // lastval() fails in a session that never inserted a row; the file engine says 0 then.
    pg_result *result = exchange(serverdialect::Role::Rerunnable,
                                 [this] { return PQexec(m_conn, "SELECT lastval()"); });
    qint64 id = 0;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) == 1)
        id = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
    PQclear(result);
    return id;
}

qint64 ServerEngine::number(const QByteArray &sql)
{
    pg_result *result = exec(sql);
    const qint64 value = PQntuples(result) > 0 && !PQgetisnull(result, 0, 0)
                             ? QByteArray(PQgetvalue(result, 0, 0)).toLongLong()
                             : 0;
    PQclear(result);
    return value;
}

int ServerEngine::schemaVersion()
{
    // Asked in two steps: a statement naming a missing table fails (and aborts a transaction).
    if (number("SELECT CASE WHEN to_regclass('valtozat') IS NULL THEN 0 ELSE 1 END") == 0)
        return 0;
    return int(number("SELECT max(szam) FROM valtozat"));
}

QString ServerEngine::writtenOrderText(const QString &table, const QStringList &columns) const
{
    // The program's tables only grow at their end: their rows lie in the order written.
    return QStringLiteral("SELECT %1 FROM %2 ORDER BY ctid")
        .arg(columns.join(QStringLiteral(", ")), plainIdentifier(table));
}

pg_result *ServerEngine::checked(pg_result *result)
{
    const ExecStatusType status = PQresultStatus(result);
    if (result
        && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE
            || status == PGRES_EMPTY_QUERY))
        return result;
    fail(result);
}

void ServerEngine::fail(pg_result *result)
{
    if (PQstatus(m_conn) == CONNECTION_BAD) {
        PQclear(result);
        lose();
    }
    const QByteArray state
        = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray("08000");
    const QString detail
        = QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn))
              .trimmed();
    PQclear(result);
    const ServerErrorKind kind = serverErrorKind(state);
    // A wait that ran out says all there is to say in the lead; the server's words would only
    // add English.
    if (kind.kind == ErrorKind::Busy)
        throw Error(kind.lead + u'.', kind.kind);
    throw Error(kind.lead + QStringLiteral(": ") + detail, kind.kind);
}

} // namespace db
