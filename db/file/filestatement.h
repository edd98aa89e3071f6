#pragma once

#include "db/engine.h"

struct sqlite3_stmt;

namespace db {

class FileEngine;

// A prepared statement of the file; every value is read as SQLite keeps it.
class FileStatement final : public EngineStatement
{
public:
    FileStatement(FileEngine &engine, const QString &sql);
    ~FileStatement() override;
    FileStatement(const FileStatement &) = delete;
    FileStatement &operator=(const FileStatement &) = delete;

    // The file hands rows over one by one anyway.
    void setStreaming(bool) override {}
    int parameterCount() const override;
    QString parameterName(int index) const override;
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
    QByteArrayView utf8(int column) const override;
    QByteArray blob(int column) const override;

private:
    FileEngine &m_engine;
    sqlite3_stmt *m_stmt = nullptr;
};

} // namespace db
