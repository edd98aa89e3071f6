#include "serverstatement.h"

#include "serverdialect.h"
#include "serverengine.h"

#include "db/error.h"
#include "db/messages.h"
#include "db/schema.h"

#include <QDate>
#include <QDateTime>

#include <libpq-fe.h>

#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace db {

namespace {

// Type numbers of the server's built-in types (pg_type.oid), fixed since long ago.
constexpr Oid boolOid = 16;
constexpr Oid byteaOid = 17;
constexpr Oid int8Oid = 20;
constexpr Oid int2Oid = 21;
constexpr Oid int4Oid = 23;
constexpr Oid oidOid = 26;
constexpr Oid float4Oid = 700;
constexpr Oid float8Oid = 701;
constexpr Oid numericOid = 1700;

// A result of this many rows or more is given back to the system when it is cleared.
constexpr int bigResultRows = 1000;

} // namespace

ServerStatement::ServerStatement(ServerEngine &session, const QString &sql)
    : m_session(session)
{
    serverdialect::AdaptedText adapted = serverdialect::adapt(sql);
    if (adapted.sql.trimmed().isEmpty())
        throw Error(message::emptyStatement.toString(), ErrorKind::Statement);
    m_sql = adapted.sql.toUtf8();
    m_role = serverdialect::role(adapted.sql);
    m_parameterNames = adapted.parameterNames;
    m_values.resize(size_t(m_parameterNames.size()));
}

ServerStatement::~ServerStatement()
{
    finish();
}

int ServerStatement::parameterIndex(const QString &name) const
{
    const QString bare = name.startsWith(u':') ? name.mid(1) : name;
    for (int i = 0; i < m_parameterNames.size(); ++i) {
        if (!bare.isEmpty() && m_parameterNames.at(i).compare(bare, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

std::optional<QByteArray> &ServerStatement::slot(int index)
{
    if (index < 1 || index > int(m_values.size()))
        throw Error(QStringLiteral("Hibás paraméter: %1").arg(index), ErrorKind::Range);
    return m_values[size_t(index - 1)];
}

// Values travel as text; the server gives each the type its place needs.
void ServerStatement::bindNull(int index)
{
    slot(index).reset();
}

void ServerStatement::bindInteger(int index, qint64 value)
{
    slot(index) = QByteArray::number(value);
}

void ServerStatement::bindFloat(int index, double value)
{
    slot(index) = QByteArray::number(value, 'g', 17);
}

void ServerStatement::bindText(int index, QByteArrayView utf8)
{
    slot(index) = utf8.toByteArray();
}

void ServerStatement::bindBlob(int index, QByteArrayView bytes)
{
    slot(index) = bytes.toByteArray();
}

void ServerStatement::run()
{
    finish();
    std::vector<const char *> values(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        values[i] = m_values[i] ? m_values[i]->constData() : nullptr;
    m_done = false;
    m_row = -1;
    if (!m_streaming) {
        m_result = m_session.checked(m_session.exchange(m_role, [this, &values] {
            return PQexecParams(m_session.handle(), m_sql.constData(), int(values.size()), nullptr,
                                values.data(), nullptr, nullptr, 0);
        }));
        m_running = true;
        m_done = true;
    } else {
        pg_result *first = m_session.exchange(m_role, [this, &values]() -> pg_result * {
            pg_conn *conn = m_session.handle();
            if (!PQsendQueryParams(conn, m_sql.constData(), int(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0))
                return nullptr;
            PQsetSingleRowMode(conn);
            return PQgetResult(conn);
        });
        pg_conn *conn = m_session.handle();
        if (PQresultStatus(first) != PGRES_SINGLE_TUPLE && PQresultStatus(first) != PGRES_TUPLES_OK
            && PQresultStatus(first) != PGRES_COMMAND_OK) {
            // Drain what follows the error, so the session can take the next statement.
            while (pg_result *rest = PQgetResult(conn))
                PQclear(rest);
            m_running = false;
            m_session.fail(first);
        }
        m_running = true;
        m_result = first;
        if (PQresultStatus(first) != PGRES_SINGLE_TUPLE) {
            while (pg_result *rest = PQgetResult(conn))
                PQclear(rest);
            m_done = true;
        }
    }
    m_rowCount = PQntuples(m_result);
    m_types.assign(size_t(PQnfields(m_result)), ValueType::Null);
    for (int column = 0; column < PQnfields(m_result); ++column)
        m_types[size_t(column)] = typeOf(column);
}

void ServerStatement::finish()
{
    if (m_running && !m_done) {
        // A stream left half-read: the rest is dropped. Outside a transaction the server is
        // told to stop first; inside one a cancel would undo the whole transaction.
        pg_conn *conn = m_session.handle();
        PGcancel *cancel = m_session.inTransaction() ? nullptr : PQgetCancel(conn);
        if (cancel) {
            char message[256];
            PQcancel(cancel, message, int(sizeof message));
            PQfreeCancel(cancel);
        }
        while (pg_result *rest = PQgetResult(conn))
            PQclear(rest);
    }
    const bool big = m_result && m_rowCount >= bigResultRows;
    PQclear(m_result);
    m_result = nullptr;
    m_rowCount = 0;
#ifdef __GLIBC__
    // A big result is freed as thousands of small blocks lying among what the caller made of
    // its rows meanwhile (a list's dataset): the C library hands such pages back to the system
    // only when asked, and till then the list is held twice over. This is the C library's own
    // call, so it stands here alone; a Windows build has no counterpart and needs none, as its
    // heap gives freed pages back by itself.
    if (big)
        malloc_trim(0);
#endif
    m_running = false;
    m_done = false;
    m_row = -1;
}

bool ServerStatement::step()
{
    if (!m_running) {
        run();
        if (!m_streaming || PQresultStatus(m_result) != PGRES_SINGLE_TUPLE)
            return ++m_row < m_rowCount;
        m_row = 0;
        return true;
    }
    if (!m_streaming)
        return ++m_row < m_rowCount;
    // A question about the columns ran the statement: its first row is still unread.
    if (m_row < 0 && PQresultStatus(m_result) == PGRES_SINGLE_TUPLE) {
        m_row = 0;
        return true;
    }
    if (m_done)
        return false;
    pg_conn *conn = m_session.handle();
    pg_result *next = PQgetResult(conn);
    const ExecStatusType status = PQresultStatus(next);
    if (status == PGRES_SINGLE_TUPLE) {
        PQclear(m_result);
        m_result = next;
        m_rowCount = 1;
        m_row = 0;
        return true;
    }
    while (pg_result *rest = PQgetResult(conn))
        PQclear(rest);
    m_done = true;
    if (status != PGRES_TUPLES_OK)
        m_session.fail(next);
    PQclear(next);
    m_row = m_rowCount;
    return false;
}

void ServerStatement::reset()
{
    finish();
}

int ServerStatement::columnCount()
{
    if (!m_running)
        run();
    return PQnfields(m_result);
}

QString ServerStatement::columnName(int column)
{
    if (!m_running)
        run();
    return schema::describedName(QString::fromUtf8(PQfname(m_result, column)));
}

ValueType ServerStatement::typeOf(int column) const
{
    switch (PQftype(m_result, column)) {
    case boolOid:
    case int2Oid:
    case int4Oid:
    case int8Oid:
    case oidOid:
        return ValueType::Integer;
    case float4Oid:
    case float8Oid:
    case numericOid:
        return ValueType::Float;
    case byteaOid:
        return ValueType::Blob;
    default:
        return ValueType::Text;
    }
}

ValueType ServerStatement::type(int column) const
{
    // Asked for every cell of a long list: the row's place is known from the step, so only
    // the null mark is asked of the result.
    if (!onRow() || column < 0 || column >= int(m_types.size())
        || PQgetisnull(m_result, m_row, column))
        return ValueType::Null;
    return m_types[size_t(column)];
}

bool ServerStatement::onRow() const
{
    return m_result && m_row >= 0 && m_row < m_rowCount;
}

const char *ServerStatement::rawText(int column) const
{
    // The server ends every value with a NUL, so the C conversions below may read it.
    return isNull(column) ? "" : PQgetvalue(m_result, m_row, column);
}

qint64 ServerStatement::int64(int column) const
{
    const char *text = rawText(column);
    if (*text == 't')
        return 1;
    if (*text == 'f')
        return 0;
    return std::strtoll(text, nullptr, 10);
}

double ServerStatement::float64(int column) const
{
    return std::strtod(rawText(column), nullptr);
}

QByteArrayView ServerStatement::utf8(int column) const
{
    if (isNull(column))
        return {};
    return {PQgetvalue(m_result, m_row, column), qsizetype(PQgetlength(m_result, m_row, column))};
}

QByteArray ServerStatement::blob(int column) const
{
    size_t length = 0;
    unsigned char *raw
        = PQunescapeBytea(reinterpret_cast<const unsigned char *>(rawText(column)), &length);
    QByteArray data(reinterpret_cast<const char *>(raw), qsizetype(length));
    PQfreemem(raw);
    return data;
}

} // namespace db
