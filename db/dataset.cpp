#include "dataset.h"

#include "sqltext.h"

#include <QTime>

#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace db {

namespace {

// What opening does with one column's values: a persistent field converts to its kind,
// any other column keeps the value's own SQLite type.
enum class Conversion { OwnType, Integer, Text, DateTime };

// Short texts that repeat down a column (codes, event names, urgency) are shared instead of
// allocated once per row; a column whose values keep differing stops being looked up.
class RepeatedTexts
{
public:
    QString text(const char *utf8, int bytes)
    {
        if (m_active && bytes <= maxBytes) {
            for (int i = 0; i < m_size; ++i) {
                if (m_keys[i].size() == bytes
                    && std::memcmp(m_keys[i].constData(), utf8, size_t(bytes)) == 0)
                    return m_values[i];
            }
        }
        QString value = QString::fromUtf8(utf8, bytes);
        if (m_active && bytes <= maxBytes) {
            if (m_size < capacity) {
                m_keys[m_size] = QByteArray(utf8, bytes);
                m_values[m_size] = value;
                ++m_size;
            } else if (++m_misses > capacity * 4) {
                m_active = false;
            }
        }
        return value;
    }

private:
    static constexpr int capacity = 16;
    static constexpr int maxBytes = 160;
    QByteArray m_keys[capacity];
    QString m_values[capacity];
    int m_size = 0;
    int m_misses = 0;
    bool m_active = true;
};

struct ColumnPlan
{
    Conversion conversion = Conversion::OwnType;
    int width = 0;
    QString fieldName;
    RepeatedTexts texts;
    // Sorted lists repeat a day for many rows in a row.
    char lastDay[20] = {};
    int lastDayBytes = -1;
    QVariant lastDayValue;
};

inline char16_t unit(char c)
{
    return char16_t(uchar(c));
}

inline char16_t unit(QChar c)
{
    return c.unicode();
}

template<typename Char> int digit(Char c)
{
    const char16_t u = unit(c);
    return (u >= u'0' && u <= u'9') ? int(u - u'0') : -1;
}

// Hand-written: QDateTime::fromString costs several times the whole fetch of a row.
template<typename Char> QDateTime parseDateTime(const Char *s, qsizetype length)
{
    if (length != 10 && length != 19)
        return {};
    const auto number = [s](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const int d = digit(s[i]);
            if (d < 0)
                return -1;
            value = value * 10 + d;
        }
        return value;
    };
    if (unit(s[4]) != u'-' || unit(s[7]) != u'-')
        return {};
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (length == 19) {
        if ((unit(s[10]) != u' ' && unit(s[10]) != u'T') || unit(s[13]) != u':'
            || unit(s[16]) != u':')
            return {};
        const int hour = number(11, 2);
        const int minute = number(14, 2);
        const int second = number(17, 2);
        if (hour < 0 || minute < 0 || second < 0 || !QTime::isValid(hour, minute, second))
            return {};
        time = QTime(hour, minute, second);
    }
    // UTC keeps the stored wall-clock fields and costs no time-zone lookup.
    return QDateTime(date, time, Qt::UTC);
}

// A whole integer in text: an optional sign and decimal digits only.
template<typename Char> bool parseInteger(const Char *s, qsizetype length, qint64 *result)
{
    qsizetype i = 0;
    bool negative = false;
    if (length > 0 && (unit(s[0]) == u'-' || unit(s[0]) == u'+')) {
        negative = unit(s[0]) == u'-';
        i = 1;
    }
    if (i == length)
        return false;
    quint64 value = 0;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    for (; i < length; ++i) {
        const int d = digit(s[i]);
        if (d < 0 || value > (limit - quint64(d)) / 10)
            return false;
        value = value * 10 + quint64(d);
    }
    *result = negative ? qint64(0 - value) : qint64(value);
    return true;
}

bool integralDouble(double value, qint64 *result)
{
    if (!std::isfinite(value) || std::trunc(value) != value || value < -9.2e18 || value > 9.2e18)
        return false;
    *result = qint64(value);
    return true;
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

QString cellText(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_BLOB)
        return QStringLiteral("(bináris adat)");
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

[[noreturn]] void badValue(const ColumnPlan &plan, sqlite3_stmt *statement, int column)
{
    const QString value = cellText(statement, column);
    switch (plan.conversion) {
    case Conversion::Integer:
        throw Error(
            QStringLiteral("A(z) %1 mező értéke nem egész szám: „%2”").arg(plan.fieldName, value));
    case Conversion::Text:
        throw Error(QStringLiteral("A(z) %1 mező értéke hosszabb %2 karakternél: „%3”")
                        .arg(plan.fieldName)
                        .arg(plan.width)
                        .arg(value));
    default:
        throw Error(
            QStringLiteral("A(z) %1 mező értéke nem dátum: „%2”").arg(plan.fieldName, value));
    }
}

QVariant ownTypeValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QByteArray(data, sqlite3_column_bytes(statement, column));
    }
    default:
        return {};
    }
}

QVariant fieldValue(ColumnPlan &plan, sqlite3_stmt *statement, int column)
{
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return {};
    switch (plan.conversion) {
    case Conversion::OwnType:
        if (type == SQLITE_TEXT)
            return plan.texts.text(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                sqlite3_column_bytes(statement, column));
        return ownTypeValue(statement, column);
    case Conversion::Integer: {
        qint64 value = 0;
        if (type == SQLITE_INTEGER)
            return qint64(sqlite3_column_int64(statement, column));
        if (type == SQLITE_FLOAT
            && integralDouble(sqlite3_column_double(statement, column), &value))
            return value;
        if (type == SQLITE_TEXT) {
            const auto *text
                = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
            if (parseInteger(text, sqlite3_column_bytes(statement, column), &value))
                return value;
        }
        break;
    }
    case Conversion::Text: {
        if (type == SQLITE_BLOB)
            break;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        QString value = plan.texts.text(text, sqlite3_column_bytes(statement, column));
        if (plan.width > 0 && value.size() > plan.width && characterCount(value) > plan.width)
            break;
        return value;
    }
    case Conversion::DateTime: {
        if (type != SQLITE_TEXT)
            break;
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const int bytes = sqlite3_column_bytes(statement, column);
        if (bytes == plan.lastDayBytes && std::memcmp(text, plan.lastDay, size_t(bytes)) == 0)
            return plan.lastDayValue;
        QDateTime value = parseDateTime(text, bytes);
        if (!value.isValid())
            break;
        // parseDateTime takes 10 or 19 bytes only, so the text fits.
        std::memcpy(plan.lastDay, text, size_t(bytes));
        plan.lastDayBytes = bytes;
        plan.lastDayValue = value;
        return plan.lastDayValue;
    }
    }
    badValue(plan, statement, column);
}

QString normalParameterName(const QString &name)
{
    return name.startsWith(u':') ? name.mid(1) : name;
}

QString dateTimeText(const QDateTime &value)
{
    if (value.time() == QTime(0, 0))
        return value.date().toString(Qt::ISODate);
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool sameValue(const QVariant &cell, const QVariant &value)
{
    if (cell.isNull() || value.isNull())
        return cell.isNull() && value.isNull();
    switch (cell.typeId()) {
    case QMetaType::LongLong: {
        qint64 number = 0;
        if (value.typeId() == QMetaType::QString) {
            const QString text = value.toString();
            return parseInteger(text.constData(), text.size(), &number)
                   && number == cell.toLongLong();
        }
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            return value.toDouble() == double(cell.toLongLong());
        bool ok = false;
        number = value.toLongLong(&ok);
        return ok && number == cell.toLongLong();
    }
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

QDateTime parseStoredDateTime(const QString &text)
{
    return parseDateTime(text.constData(), text.size());
}

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
    sqlite3_stmt *handle = statement.handle();
    const int count = sqlite3_bind_parameter_count(handle);
    for (int index = 1; index <= count; ++index) {
        const char *rawName = sqlite3_bind_parameter_name(handle, index);
        const QString name = normalParameterName(QString::fromUtf8(rawName ? rawName : ""));
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
    const QString text = m_tableName.isEmpty()
                             ? m_sql
                             : QStringLiteral("SELECT * FROM ") + quotedIdentifier(m_tableName);
    Statement statement(*m_connection, text);
    bindParameters(statement, m_parameters);
    sqlite3_stmt *handle = statement.handle();

    const int columnCount = sqlite3_column_count(handle);
    QStringList columns;
    columns.reserve(columnCount);
    for (int column = 0; column < columnCount; ++column)
        columns << QString::fromUtf8(sqlite3_column_name(handle, column));

    std::vector<ColumnPlan> plans(static_cast<size_t>(columnCount));
    for (const FieldDef &field : m_fields) {
        const auto found = std::find_if(columns.cbegin(), columns.cend(), [&](const QString &c) {
            return c.compare(field.name, Qt::CaseInsensitive) == 0;
        });
        if (found == columns.cend())
            throw Error(QStringLiteral("Hiányzik a(z) %1 mező (adathalmaz: %2)")
                            .arg(field.name, m_tableName.isEmpty() ? objectName() : m_tableName));
        ColumnPlan &plan = plans[size_t(found - columns.cbegin())];
        plan.fieldName = field.name;
        plan.width = field.width;
        switch (field.kind) {
        case FieldKind::Integer:
            plan.conversion = Conversion::Integer;
            break;
        case FieldKind::DateTime:
            plan.conversion = Conversion::DateTime;
            break;
        case FieldKind::Text:
            plan.conversion = Conversion::Text;
            break;
        }
    }

    std::vector<std::vector<QVariant>> blocks;
    int rowCount = 0;
    for (;;) {
        const int rc = sqlite3_step(handle);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            m_connection->check(rc);
        if ((rowCount & (blockRows - 1)) == 0) {
            blocks.emplace_back();
            blocks.back().reserve(size_t(blockRows) * size_t(columnCount));
        }
        std::vector<QVariant> &block = blocks.back();
        for (int column = 0; column < columnCount; ++column)
            block.push_back(fieldValue(plans[size_t(column)], handle, column));
        ++rowCount;
    }

    m_columns = columns;
    m_blocks = std::move(blocks);
    m_rowCount = rowCount;
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
    m_blocks.clear();
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
    return cell(row, column);
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
        return dateTimeText(v.toDateTime());
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
        const QString text = v.toString();
        if (parseInteger(text.constData(), text.size(), &number))
            return number;
        break;
    }
    default:
        if (v.isNull())
            return 0;
        break;
    }
    throw Error(
        QStringLiteral("A(z) %1 mező értéke nem egész szám: „%2”").arg(column, v.toString()));
}

QDateTime Dataset::asDateTime(const QString &column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QString) {
        const QDateTime parsed = parseStoredDateTime(v.toString());
        if (parsed.isValid())
            return parsed;
    }
    throw Error(QStringLiteral("A(z) %1 mező értéke nem dátum: „%2”").arg(column, v.toString()));
}

bool Dataset::locate(const QString &column, const QVariant &value)
{
    const int index = requireColumn(column);
    for (int row = 0; row < m_rowCount; ++row) {
        if (sameValue(cell(row, index), value)) {
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
        throw Error(QStringLiteral("Az adathalmaz (%1) nincs megnyitva").arg(objectName()));
}

} // namespace db
