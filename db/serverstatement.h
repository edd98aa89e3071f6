#pragma once

#include "valuetype.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

struct pg_result;

namespace db {

class ServerSession;

// A statement on the database server. The text is adapted to the server's reading once;
// values travel as text and the server gives them the type their place needs. The first
// step (or a question about the columns) runs it: by default every row is fetched at once,
// in streaming mode one row at a time (for results too big to hold twice).
class ServerStatement
{
public:
    ServerStatement(ServerSession &session, const QString &sql);
    ~ServerStatement();
    ServerStatement(const ServerStatement &) = delete;
    ServerStatement &operator=(const ServerStatement &) = delete;

    void setStreaming(bool streaming) { m_streaming = streaming; }

    int parameterCount() const { return int(m_parameterNames.size()); }
    // Without the leading ':'; empty for a '?'.
    QString parameterName(int index) const { return m_parameterNames.value(index - 1); }
    int parameterIndex(const QString &name) const; // 0 when absent

    void bind(int index, const QVariant &value);
    bool step();
    void reset();

    int columnCount();
    QString columnName(int column);
    ValueType type(int column) const;
    bool isNull(int column) const { return type(column) == ValueType::Null; }
    qint64 int64(int column) const;
    double float64(int column) const;
    // Empty for NULL; valid until the next step.
    QByteArrayView utf8(int column) const;
    QString text(int column) const;
    QVariant value(int column) const;

private:
    void run();
    void finish();
    ValueType typeOf(int column) const;
    const char *rawText(int column) const;

    ServerSession &m_session;
    QByteArray m_sql;
    QStringList m_parameterNames;
    std::vector<std::optional<QByteArray>> m_values;
    bool m_streaming = false;
    bool m_running = false; // the statement was sent; a streaming one may still have rows
    bool m_done = false;    // no more rows will come
    pg_result *m_result = nullptr;
    int m_row = -1;
    std::vector<ValueType> m_types;
};

} // namespace db
