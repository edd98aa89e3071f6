#include "statement.h"

#include "connection.h"
#include "error.h"
#include "serversession.h"
#include "serverstatement.h"
#include "values.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include <limits>

#include <sqlite3.h>

namespace db {

Statement::Statement(Connection &connection, const QString &sql)
    : m_connection(connection)
{
    if (ServerSession *server = connection.server()) {
        m_server = std::make_unique<ServerStatement>(*server, sql);
        return;
    }
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

void Statement::setStreaming(bool streaming)
{
    if (m_server)
        m_server->setStreaming(streaming);
}

int Statement::parameterCount() const
{
    return m_server ? m_server->parameterCount() : sqlite3_bind_parameter_count(m_stmt);
}

QString Statement::parameterName(int index) const
{
    if (m_server)
        return m_server->parameterName(index);
    const char *name = sqlite3_bind_parameter_name(m_stmt, index);
    const QString text = QString::fromUtf8(name ? name : "");
    return text.startsWith(u':') || text.startsWith(u'@') || text.startsWith(u'$') ? text.mid(1)
                                                                                   : text;
}

void Statement::bind(int index, const QVariant &value)
{
    if (m_server)
        return m_server->bind(index, value);
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
            return bind(index, storedDateText(value.toDate()));
        case QMetaType::QDateTime:
            return bind(index, storedDateTimeText(value.toDateTime()));
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
    const int index = m_server ? m_server->parameterIndex(full)
                               : sqlite3_bind_parameter_index(m_stmt, full.toUtf8().constData());
    if (index == 0)
        throw Error(QStringLiteral("Az utasításnak nincs ilyen paramétere: %1").arg(full));
    bind(index, value);
}

bool Statement::step()
{
    if (m_server)
        return m_server->step();
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
    if (m_server)
        return m_server->reset();
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return m_server ? m_server->columnCount() : sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const
{
    if (m_server)
        return m_server->columnName(column);
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

ValueType Statement::type(int column) const
{
    if (m_server)
        return m_server->type(column);
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return ValueType::Integer;
    case SQLITE_FLOAT:
        return ValueType::Float;
    case SQLITE_TEXT:
        return ValueType::Text;
    case SQLITE_BLOB:
        return ValueType::Blob;
    default:
        return ValueType::Null;
    }
}

qint64 Statement::int64(int column) const
{
    return m_server ? m_server->int64(column) : sqlite3_column_int64(m_stmt, column);
}

double Statement::float64(int column) const
{
    return m_server ? m_server->float64(column) : sqlite3_column_double(m_stmt, column);
}

QByteArrayView Statement::utf8(int column) const
{
    if (m_server)
        return m_server->utf8(column);
    // Text first, then its length: asking the length first would measure another form.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return {text, qsizetype(sqlite3_column_bytes(m_stmt, column))};
}

QString Statement::text(int column) const
{
    return m_server ? m_server->text(column) : columnText(m_stmt, column);
}

QVariant Statement::value(int column) const
{
    return m_server ? m_server->value(column) : columnValue(m_stmt, column);
}

} // namespace db
