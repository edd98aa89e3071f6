#include "statement.h"

#include "connection.h"
#include "error.h"
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

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    return columnText(m_stmt, column);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

ValueType Statement::type(int column) const
{
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

QByteArrayView Statement::utf8(int column) const
{
    // Text first, then its length: asking the length first would measure another form.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return {text, qsizetype(sqlite3_column_bytes(m_stmt, column))};
}

QVariant Statement::value(int column) const
{
    return columnValue(m_stmt, column);
}

} // namespace db
