#include "statement.h"

#include "connection.h"
#include "engine.h"
#include "error.h"
#include "values.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>

#include <limits>

namespace db {

Statement::Statement(Connection &connection, const QString &sql)
    : m_statement(connection.engine().prepare(sql))
{
}

Statement::~Statement() = default;

void Statement::setStreaming(bool streaming)
{
    m_statement->setStreaming(streaming);
}

int Statement::parameterCount() const
{
    return m_statement->parameterCount();
}

QString Statement::parameterName(int index) const
{
    return m_statement->parameterName(index);
}

void Statement::bind(int index, const QVariant &value)
{
    if (value.isNull())
        return m_statement->bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return m_statement->bindInteger(index, value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            throw Error(QStringLiteral("Túl nagy egész érték: %1").arg(value.toString()),
                        ErrorKind::TooBig);
        return m_statement->bindInteger(index, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return m_statement->bindFloat(index, value.toDouble());
    case QMetaType::QByteArray:
        return m_statement->bindBlob(index, value.toByteArray());
    case QMetaType::QDate:
        // The stored form of a day; statement texts carry M/D/YYYY instead.
        return m_statement->bindText(index, storedDateText(value.toDate()).toUtf8());
    case QMetaType::QDateTime:
        return m_statement->bindText(index, storedDateTimeText(value.toDateTime()).toUtf8());
    default:
        return m_statement->bindText(index, value.toString().toUtf8());
    }
}

void Statement::bind(const QString &name, const QVariant &value)
{
    const QString full = name.startsWith(u':') ? name : u':' + name;
    const int index = m_statement->parameterIndex(full);
    if (index == 0)
        throw Error(QStringLiteral("Az utasításnak nincs ilyen paramétere: %1").arg(full),
                    ErrorKind::Range);
    bind(index, value);
}

void Statement::bindInteger(int index, qint64 value)
{
    m_statement->bindInteger(index, value);
}

void Statement::bindText(int index, QByteArrayView utf8)
{
    m_statement->bindText(index, utf8);
}

bool Statement::step()
{
    return m_statement->step();
}

void Statement::reset()
{
    m_statement->reset();
}

int Statement::columnCount() const
{
    return m_statement->columnCount();
}

QString Statement::columnName(int column) const
{
    return m_statement->columnName(column);
}

ValueType Statement::type(int column) const
{
    return m_statement->type(column);
}

qint64 Statement::int64(int column) const
{
    return m_statement->int64(column);
}

double Statement::float64(int column) const
{
    return m_statement->float64(column);
}

QByteArrayView Statement::utf8(int column) const
{
    return m_statement->utf8(column);
}

QString Statement::text(int column) const
{
    return storedText(m_statement->utf8(column));
}

QVariant Statement::value(int column) const
{
    switch (m_statement->type(column)) {
    case ValueType::Integer:
        return m_statement->int64(column);
    case ValueType::Float:
        return m_statement->float64(column);
    case ValueType::Text:
        return text(column);
    case ValueType::Blob:
        return m_statement->blob(column);
    case ValueType::Null:
        break;
    }
    return {};
}

} // namespace db
