#pragma once

#include <QString>

// Small checks of what the administrator typed, shared by the commands. Each throws db::Error
// with a Hungarian message naming the value when it fails.
namespace admin {

// A whole decimal number (an optional sign, digits, nothing else).
qint64 parseCode(const QString &text, const QString &what);
// At most as many characters as the table's column takes. A secret is not repeated in the
// message.
enum class Echo { Text, Nothing };
void requireFits(const QString &text, const char *table, const char *column, const QString &what,
                 Echo echo = Echo::Text);
// Not empty and not blanks alone, and fits the table's column.
void requireName(const QString &text, const char *table, const char *column, const QString &what);
// "V", "B" or "J" from the letter (either case) or the word.
QString parseListKind(const QString &text);
// "I" or "N" from igen/nem (or the letters).
QString parseYesNo(const QString &text, const QString &what);

} // namespace admin
