#include "dataset.h"

#include "columnplan.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/sqltext.h"
#include "db/statement.h"
#include "db/values.h"

#include <QTime>

#include <algorithm>

namespace db {

namespace {

QString normalParameterName(const QString &name)
{
    return name.startsWith(u':') ? name.mid(1) : name;
}

// What a whole-number cell must hold to equal a value: decided once for a whole search.
class IntegerMatch
{
public:
    explicit IntegerMatch(const QVariant &value)
    {
        if (value.typeId() == QMetaType::QString) {
            m_valid = parseStoredInteger(value.toString(), &m_number);
        } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            m_byDouble = true;
            m_double = value.toDouble();
        } else {
            m_number = value.toLongLong(&m_valid);
        }
    }
    bool matches(qint64 cell) const
    {
        return m_byDouble ? m_double == double(cell) : m_valid && m_number == cell;
    }

private:
    bool m_valid = true;
    bool m_byDouble = false;
    double m_double = 0;
    qint64 m_number = 0;
};

// A kept value as a message quotes it: bytes that are not text by the placeholder.
QString readingText(const QVariant &value)
{
    return value.typeId() == QMetaType::QByteArray ? binaryPlaceholder() : value.toString();
}

bool sameValue(const QVariant &cell, const QVariant &value)
{
    if (cell.isNull() || value.isNull())
        return cell.isNull() && value.isNull();
    switch (cell.typeId()) {
    case QMetaType::LongLong:
        return IntegerMatch(value).matches(cell.toLongLong());
    case QMetaType::Double: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok && number == cell.toDouble();
    }
    case QMetaType::QDateTime: {
        const QDateTime stored = cell.toDateTime();
        QDateTime wanted;
        if (value.typeId() == QMetaType::QDate)
            wanted = QDateTime(value.toDate(), QTime(0, 0), Qt::UTC);
        else if (value.typeId() == QMetaType::QDateTime)
            wanted = value.toDateTime();
        else
            wanted = parseStoredDateTime(value.toString());
        return wanted.isValid() && stored.date() == wanted.date() && stored.time() == wanted.time();
    }
    case QMetaType::QByteArray:
        return value.toByteArray() == cell.toByteArray();
    default:
        return cell.toString() == value.toString();
    }
}

} // namespace

Dataset::Dataset(const QString &objectName, QObject *parent)
    : QObject(parent)
{
    setObjectName(objectName);
}

void Dataset::setTableName(const QString &name)
{
    m_tableName = name;
    m_sql.clear();
}

void Dataset::setSql(const QString &sql)
{
    m_sql = sql;
    m_tableName.clear();
}

QString Dataset::statementText() const
{
    return m_tableName.isEmpty() ? m_sql : Connection::selectAllText(m_tableName);
}

void Dataset::setParameter(const QString &name, const QVariant &value)
{
    const QString key = normalParameterName(name);
    for (auto &parameter : m_parameters) {
        if (parameter.first.compare(key, Qt::CaseInsensitive) == 0) {
            parameter.second = value;
            return;
        }
    }
    m_parameters.append({key, value});
}

namespace {

void bindParameters(Statement &statement, const QList<QPair<QString, QVariant>> &parameters)
{
    const int count = statement.parameterCount();
    for (int index = 1; index <= count; ++index) {
        const QString name = statement.parameterName(index);
        const auto found = std::find_if(parameters.begin(), parameters.end(), [&](const auto &p) {
            return p.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (name.isEmpty() || found == parameters.end())
            throw Error(QStringLiteral("A(z) :%1 paraméternek nincs értéke").arg(name));
        statement.bind(index, found->second);
    }
}

} // namespace

void Dataset::open()
{
    if (!m_connection)
        throw Error(
            QStringLiteral("Az adathalmaz (%1) nincs adatbázishoz kötve").arg(objectName()));
    close();
    if (m_tableName.isEmpty() && m_sql.trimmed().isEmpty())
        throw Error(
            QStringLiteral("Az adathalmaznak (%1) nincs megnyitható utasítása").arg(objectName()));
    Statement statement(*m_connection, statementText());
    bindParameters(statement, m_parameters);

    const int columnCount = statement.columnCount();
    QStringList columns;
    columns.reserve(columnCount);
    for (int column = 0; column < columnCount; ++column)
        columns << statement.columnName(column);

    std::vector<ColumnPlan> plans(static_cast<size_t>(columnCount));
    for (const FieldDef &field : m_fields) {
        const auto found = std::find_if(columns.cbegin(), columns.cend(), [&](const QString &c) {
            return c.compare(field.name, Qt::CaseInsensitive) == 0;
        });
        if (found == columns.cend())
            throw Error(QStringLiteral("Hiányzik a(z) %1 mező (adathalmaz: %2)")
                            .arg(field.name, m_tableName.isEmpty() ? objectName() : m_tableName));
        plans[size_t(found - columns.cbegin())] = ColumnPlan(field);
    }

    std::vector<Column> store(static_cast<size_t>(columnCount));
    int rowCount = 0;
    while (statement.step()) {
        for (int column = 0; column < columnCount; ++column)
            plans[size_t(column)].fetch(statement, column, store[size_t(column)]);
        ++rowCount;
    }

    std::vector<OddValue> odd;
    for (int column = 0; column < columnCount; ++column) {
        for (const int row : plans[size_t(column)].oddRows())
            odd.push_back({row, column});
    }
    std::sort(odd.begin(), odd.end(), [](const OddValue &a, const OddValue &b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });

    m_columns = columns;
    m_store = std::move(store);
    m_oddValues = std::move(odd);
    m_rowCount = rowCount;
    m_current = 0;
    m_open = true;
    Q_EMIT opened();
}

void Dataset::refresh()
{
    if (!m_open) {
        open();
        return;
    }
    Dataset fresh(objectName());
    fresh.m_connection = m_connection;
    fresh.m_fields = m_fields;
    fresh.m_tableName = m_tableName;
    fresh.m_sql = m_sql;
    fresh.m_parameters = m_parameters;
    fresh.open();
    close();
    m_columns = std::move(fresh.m_columns);
    m_store = std::move(fresh.m_store);
    m_rowCount = fresh.m_rowCount;
    m_current = 0;
    m_open = true;
    Q_EMIT opened();
}

void Dataset::close()
{
    if (!m_open)
        return;
    Q_EMIT aboutToClose();
    m_open = false;
    m_store.clear();
    m_oddValues.clear();
    m_columns.clear();
    m_rowCount = 0;
    m_current = 0;
    Q_EMIT closed();
}

void Dataset::execute()
{
    if (!m_connection)
        throw Error(
            QStringLiteral("Az adathalmaz (%1) nincs adatbázishoz kötve").arg(objectName()));
    if (m_sql.trimmed().isEmpty())
        throw Error(QStringLiteral("Az adathalmaznak (%1) nincs végrehajtható utasítása")
                        .arg(objectName()));
    Statement statement(*m_connection, m_sql);
    bindParameters(statement, m_parameters);
    while (statement.step()) {
    }
}

int Dataset::columnIndex(const QString &name) const
{
    for (int column = 0; column < m_columns.size(); ++column) {
        if (m_columns.at(column).compare(name, Qt::CaseInsensitive) == 0)
            return column;
    }
    return -1;
}

const FieldDef *Dataset::field(const QString &name) const
{
    for (const FieldDef &f : m_fields) {
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

void Dataset::setCurrentRow(int row)
{
    const int target = std::clamp(row, 0, m_rowCount);
    if (target == m_current)
        return;
    m_current = target;
    Q_EMIT currentRowChanged(m_current);
}

QVariant Dataset::value(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columns.size())
        return {};
    return m_store[size_t(column)].value(row);
}

QByteArrayView Dataset::utf8(int row, int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    return m_store[size_t(column)].utf8(row);
}

bool Dataset::julianDay(int row, int column, qint64 *day) const
{
    if (column < 0 || column >= m_columns.size())
        return false;
    return m_store[size_t(column)].julianDay(row, day);
}

QVariant Dataset::value(const QString &column) const
{
    return value(m_current, requireColumn(column));
}

QString Dataset::asText(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return dateTimeReadingText(v.toDateTime());
    if (v.typeId() == QMetaType::QByteArray)
        return binaryPlaceholder();
    return v.toString();
}

qint64 Dataset::asInteger(const QString &column) const
{
    const QVariant v = value(column);
    qint64 number = 0;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::LongLong:
        return v.toLongLong();
    case QMetaType::Double:
        if (integralDouble(v.toDouble(), &number))
            return number;
        break;
    case QMetaType::QString: {
        if (parseStoredInteger(v.toString(), &number))
            return number;
        break;
    }
    default:
        if (v.isNull())
            return 0;
        break;
    }
    throw Error(
        QStringLiteral("A(z) %1 mező értéke nem egész szám: „%2”").arg(column, readingText(v)));
}

QDateTime Dataset::asDateTime(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QString) {
        QDateTime parsed = parseStoredDateTime(v.toString());
        if (parsed.isValid())
            return parsed;
    }
    throw Error(QStringLiteral("A(z) %1 mező értéke nem dátum: „%2”").arg(column, readingText(v)));
}

bool Dataset::locate(const QString &column, const QVariant &value)
{
    const Column &stored = m_store[size_t(requireColumn(column))];
    const IntegerMatch integer(value);
    for (int row = 0; row < m_rowCount; ++row) {
        // Whole numbers are compared as they are kept, without a QVariant a row.
        qint64 number = 0;
        const bool found = !value.isNull() && stored.integer(row, &number)
                               ? integer.matches(number)
                               : sameValue(stored.value(row), value);
        if (found) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

int Dataset::requireColumn(const QString &name) const
{
    requireOpen();
    const int index = columnIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("Nincs %1 nevű mező (adathalmaz: %2)").arg(name, objectName()));
    return index;
}

void Dataset::requireOpen() const
{
    if (!m_open)
        throw Error(QStringLiteral("Az adatokat nem sikerült beolvasni az adatbázisból"));
}

} // namespace db
