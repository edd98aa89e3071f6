#pragma once

#include <QString>

#include <optional>

namespace admin {

// Where a new entry password comes from: never the command line. The tool reads the terminal
// with echo off; tests hand the answers in.
class PasswordSource
{
public:
    virtual ~PasswordSource() = default;
    // One line without its line end; none when the input has ended.
    virtual std::optional<QString> read(const QString &prompt) = 0;
};

} // namespace admin
