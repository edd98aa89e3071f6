#pragma once

#include <QString>

#include <stdexcept>

namespace db {

// What kind of failure an error is, whichever engine (or the system) reported it.
enum class ErrorKind {
    Other,      // not an engine's error, or one of no kind below
    Busy,       // another user's lock was not released in time
    Constraint, // the data breaks a rule of the database
    Mismatch,   // a value of the wrong type
    ReadOnly,
    Full,    // the disk is full
    Io,      // a disk or network fault
    Corrupt, // a damaged file, or one that is not the program's database
    CantOpen,
    NoMemory,
    Permission,
    TooBig,
    Range,       // a parameter that the statement does not have
    Statement,   // a statement the engine cannot run
    Aborted,     // the transaction was undone by an earlier failure
    Disconnected // the database server could not be reached, or the connection to it broke
};

// A database or file failure; carries the engine's or the system's own message text,
// which the default error display shows as it comes.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &message, ErrorKind kind = ErrorKind::Other)
        : std::runtime_error(message.toStdString())
        , m_message(message)
        , m_kind(kind)
    {
    }
    QString message() const { return m_message; }
    ErrorKind kind() const { return m_kind; }

private:
    QString m_message;
    ErrorKind m_kind;
};

// The Hungarian sentence that goes before an engine's own (English) words for a kind of
// failure.
QString errorLead(ErrorKind kind);

} // namespace db
