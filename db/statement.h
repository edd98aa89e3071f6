#pragma once

#include "valuetype.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <memory>

namespace db {

class Connection;
class EngineStatement;

// A prepared statement on either engine; parameters are 1-based or named (":Name").
class Statement
{
public:
    Statement(Connection &connection, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // A statement whose rows are read once, in order, and may be too many to hold at once
    // (the report): the server then sends them one by one instead of all before the first.
    void setStreaming(bool streaming);

    int parameterCount() const;
    QString parameterName(int index) const; // without the ':'; empty for '?'
    // Days and moments go in as stored text; a whole number beyond qint64 is refused.
    void bind(int index, const QVariant &value);
    void bind(const QString &name, const QVariant &value);
    // Without a QVariant, for many rows at once.
    void bindInteger(int index, qint64 value);
    void bindText(int index, QByteArrayView utf8);
    // True while a row is current; false when the statement has finished.
    bool step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    // The kind of value the current row holds in the column.
    ValueType type(int column) const;
    bool isNull(int column) const { return type(column) == ValueType::Null; }
    qint64 int64(int column) const;
    double float64(int column) const;
    QString text(int column) const;
    // The value as UTF-8 text, without a copy: valid until the next step or another read of
    // the same column as another type.
    QByteArrayView utf8(int column) const;
    QVariant value(int column) const; // by the value's own type

private:
    std::unique_ptr<EngineStatement> m_statement;
};

} // namespace db
