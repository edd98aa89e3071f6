#include "filestatement.h"

#include "fileengine.h"

#include "db/error.h"
#include "db/messages.h"

#include <QByteArray>

#include <sqlite3.h>

namespace db {

FileStatement::FileStatement(FileEngine &engine, const QString &sql)
    : m_engine(engine)
{
    const QByteArray text = sql.toUtf8();
    const int rc
        = sqlite3_prepare_v2(engine.handle(), text.constData(), int(text.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        engine.check(rc);
    }
    if (!m_stmt)
        throw Error(message::emptyStatement.toString(), ErrorKind::Statement);
}

FileStatement::~FileStatement()
{
    sqlite3_finalize(m_stmt);
}

int FileStatement::parameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

QString FileStatement::parameterName(int index) const
{
    const char *name = sqlite3_bind_parameter_name(m_stmt, index);
    const QString text = QString::fromUtf8(name ? name : "");
    return text.startsWith(u':') || text.startsWith(u'@') || text.startsWith(u'$') ? text.mid(1)
                                                                                   : text;
}

int FileStatement::parameterIndex(const QString &name) const
{
    return sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
}

void FileStatement::bindNull(int index)
{
    m_engine.check(sqlite3_bind_null(m_stmt, index));
}

void FileStatement::bindInteger(int index, qint64 value)
{
    m_engine.check(sqlite3_bind_int64(m_stmt, index, value));
}

void FileStatement::bindFloat(int index, double value)
{
    m_engine.check(sqlite3_bind_double(m_stmt, index, value));
}

void FileStatement::bindText(int index, QByteArrayView utf8)
{
    m_engine.check(sqlite3_bind_text64(m_stmt, index, utf8.data() ? utf8.data() : "",
                                       quint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void FileStatement::bindBlob(int index, QByteArrayView bytes)
{
    m_engine.check(sqlite3_bind_blob64(m_stmt, index, bytes.data() ? bytes.data() : "",
                                       quint64(bytes.size()), SQLITE_TRANSIENT));
}

bool FileStatement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_engine.check(rc);
    return false;
}

void FileStatement::reset()
{
    sqlite3_reset(m_stmt);
}

int FileStatement::columnCount()
{
    return sqlite3_column_count(m_stmt);
}

QString FileStatement::columnName(int column)
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

ValueType FileStatement::type(int column) const
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

qint64 FileStatement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double FileStatement::float64(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QByteArrayView FileStatement::utf8(int column) const
{
    // Text first, then its length: asking the length first would measure another form.
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return {text, qsizetype(sqlite3_column_bytes(m_stmt, column))};
}

QByteArray FileStatement::blob(int column) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

} // namespace db
