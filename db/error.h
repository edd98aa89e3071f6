#pragma once

#include <QString>

#include <stdexcept>

namespace db {

// A database or file failure; carries the engine's or the system's own message text,
// which the default error display shows as it comes.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_code(code)
    {
    }
    QString message() const { return m_message; }
    // The SQLite result code (primary or extended), 0 for errors that are not the engine's.
    int code() const { return m_code; }

private:
    QString m_message;
    int m_code;
};

} // namespace db
