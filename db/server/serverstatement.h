#pragma once

#include "db/engine.h"
#include "serverdialect.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct pg_result;

namespace db {

class ServerEngine;

// A statement on the database server. The text is adapted to the server's reading once;
// values travel as text and the server gives them the type their place needs. The first
// step (or a question about the columns) runs it: by default every row is fetched at once,
// in streaming mode one row at a time (for results too big to hold twice).
class ServerStatement final : public EngineStatement
{
public:
    ServerStatement(ServerEngine &engine, const QString &sql);
    ~ServerStatement() override;
    ServerStatement(const ServerStatement &) = delete;
    ServerStatement &operator=(const ServerStatement &) = delete;

    void setStreaming(bool streaming) override { m_streaming = streaming; }

    int parameterCount() const override { return int(m_parameterNames.size()); }
    QString parameterName(int index) const override { return m_parameterNames.value(index - 1); }
    int parameterIndex(const QString &name) const override;

    void bindNull(int index) override;
    void bindInteger(int index, qint64 value) override;
    void bindFloat(int index, double value) override;
    void bindText(int index, QByteArrayView utf8) override;
    void bindBlob(int index, QByteArrayView bytes) override;
    bool step() override;
    void reset() override;

    int columnCount() override;
    QString columnName(int column) override;
    ValueType type(int column) const override;
    qint64 int64(int column) const override;
    double float64(int column) const override;
    // Empty for NULL; valid until the next step.
    QByteArrayView utf8(int column) const override;
    QByteArray blob(int column) const override;

private:
    void run();
    void finish();
    std::optional<QByteArray> &slot(int index);
    ValueType typeOf(int column) const;
    bool isNull(int column) const { return type(column) == ValueType::Null; }
    bool onRow() const;
    const char *rawText(int column) const;

    ServerEngine &m_session;
    QByteArray m_sql;
    serverdialect::Role m_role = serverdialect::Role::Write;
    QStringList m_parameterNames;
    std::vector<std::optional<QByteArray>> m_values;
    bool m_streaming = false;
    bool m_running = false; // the statement was sent; a streaming one may still have rows
    bool m_done = false;    // no more rows will come
    pg_result *m_result = nullptr;
    int m_rowCount = 0; // of m_result
    int m_row = -1;
    std::vector<ValueType> m_types;
};

} // namespace db
