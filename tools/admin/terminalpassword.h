#pragma once

#include "passwordsource.h"

namespace admin {

// Reads a password from standard input: from a terminal with its echo turned off (the prompt
// goes to standard error), otherwise line by line as it comes, so a script can feed it.
class TerminalPassword : public PasswordSource
{
public:
    std::optional<QString> read(const QString &prompt) override;
};

} // namespace admin
