#include "terminalpassword.h"

#include <QByteArray>

#include <cstdio>

// The one spot with POSIX terminal control. On Windows the counterpart is GetStdHandle
// (STD_INPUT_HANDLE), GetConsoleMode, and SetConsoleMode without ENABLE_ECHO_INPUT while the
// line is read, the old mode set back afterwards; _isatty(_fileno(stdin)) tells a console.
#include <termios.h>
#include <unistd.h>

namespace admin {

namespace {

std::optional<QString> readLine()
{
    QByteArray line;
    for (int c = std::fgetc(stdin); c != EOF; c = std::fgetc(stdin)) {
        if (c == '\n')
            break;
        line.append(char(c));
    }
    if (line.isEmpty() && std::feof(stdin))
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

} // namespace

std::optional<QString> TerminalPassword::read(const QString &prompt)
{
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const int input = ::fileno(stdin);
    termios saved = {};
    if (::isatty(input) == 0 || ::tcgetattr(input, &saved) != 0)
        return readLine();

    termios silent = saved;
    silent.c_lflag &= ~tcflag_t(ECHO);
    silent.c_lflag |= ECHONL;
    ::tcsetattr(input, TCSAFLUSH, &silent);
    std::optional<QString> line = readLine();
    ::tcsetattr(input, TCSAFLUSH, &saved);
    return line;
}

} // namespace admin
