#include "serverstatement.h"

#include "error.h"
#include "serverdialect.h"
#include "serversession.h"

#include <QDate>
#include <QDateTime>

#include <libpq-fe.h>

#include <cstdlib>

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

} // namespace

ServerStatement::ServerStatement(ServerSession &session, const QString &sql)
    : m_session(session)
{
    if (!session.handle())
        throw Error(QStringLiteral("Nincs megnyitva az adatbázis"));
    serverdialect::AdaptedText adapted = serverdialect::adapt(sql);
    if (adapted.sql.trimmed().isEmpty())
        throw Error(QStringLiteral("Üres adatbázis-utasítás"));
    m_sql = adapted.sql.toUtf8();
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

void ServerStatement::bind(int index, const QVariant &value)
{
    if (index < 1 || index > int(m_values.size()))
        throw Error(QStringLiteral("Hibás paraméter: %1").arg(index));
    std::optional<QByteArray> &slot = m_values[size_t(index - 1)];
    if (value.isNull()) {
        slot.reset();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        slot = value.toBool() ? QByteArray("1") : QByteArray("0");
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        slot = QByteArray::number(value.toDouble(), 'g', 17);
        break;
    case QMetaType::QDate:
        slot = value.toDate().toString(Qt::ISODate).toUtf8();
        break;
    case QMetaType::QDateTime:
        slot = value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
        break;
    case QMetaType::QByteArray:
        slot = value.toByteArray();
        break;
    default:
        slot = value.toString().toUtf8();
        break;
    }
}

void ServerStatement::run()
{
    finish();
    pg_conn *conn = m_session.handle();
    std::vector<const char *> values(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i)
        values[i] = m_values[i] ? m_values[i]->constData() : nullptr;
    m_running = true;
    m_done = false;
    m_row = -1;
    if (!m_streaming) {
        m_result = m_session.checked(PQexecParams(conn, m_sql.constData(), int(values.size()),
                                                  nullptr, values.data(), nullptr, nullptr, 0));
        m_done = true;
    } else {
        if (!PQsendQueryParams(conn, m_sql.constData(), int(values.size()), nullptr, values.data(),
                               nullptr, nullptr, 0)) {
            m_running = false;
            m_session.fail(nullptr);
        }
        PQsetSingleRowMode(conn);
        pg_result *first = PQgetResult(conn);
        if (PQresultStatus(first) != PGRES_SINGLE_TUPLE && PQresultStatus(first) != PGRES_TUPLES_OK
            && PQresultStatus(first) != PGRES_COMMAND_OK) {
            // Drain what follows the error, so the session can take the next statement.
            while (pg_result *rest = PQgetResult(conn))
                PQclear(rest);
            m_running = false;
            m_session.fail(first);
        }
        m_result = first;
        if (PQresultStatus(first) != PGRES_SINGLE_TUPLE) {
            while (pg_result *rest = PQgetResult(conn))
                PQclear(rest);
            m_done = true;
        }
    }
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
    PQclear(m_result);
    m_result = nullptr;
    m_running = false;
    m_done = false;
    m_row = -1;
}

bool ServerStatement::step()
{
    if (!m_running) {
        run();
        if (!m_streaming || PQresultStatus(m_result) != PGRES_SINGLE_TUPLE)
            return ++m_row < PQntuples(m_result);
        m_row = 0;
        return true;
    }
    if (!m_streaming)
        return ++m_row < PQntuples(m_result);
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
        m_row = 0;
        return true;
    }
    while (pg_result *rest = PQgetResult(conn))
        PQclear(rest);
    m_done = true;
    if (status != PGRES_TUPLES_OK)
        m_session.fail(next);
    PQclear(next);
    m_row = PQntuples(m_result);
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
    return serverdialect::programColumnName(QString::fromUtf8(PQfname(m_result, column)));
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
    if (!m_result || m_row < 0 || m_row >= PQntuples(m_result) || column < 0
        || column >= int(m_types.size()) || PQgetisnull(m_result, m_row, column))
        return ValueType::Null;
    return m_types[size_t(column)];
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

QString ServerStatement::text(int column) const
{
    return QString::fromUtf8(utf8(column));
}

QVariant ServerStatement::value(int column) const
{
    switch (type(column)) {
    case ValueType::Integer:
        return int64(column);
    case ValueType::Float:
        return float64(column);
    case ValueType::Text:
        return text(column);
    case ValueType::Blob: {
        size_t length = 0;
        unsigned char *raw
            = PQunescapeBytea(reinterpret_cast<const unsigned char *>(rawText(column)), &length);
        QByteArray data(reinterpret_cast<const char *>(raw), qsizetype(length));
        PQfreemem(raw);
        return data;
    }
    case ValueType::Null:
        break;
    }
    return {};
}

} // namespace db
