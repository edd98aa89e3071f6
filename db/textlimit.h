#pragma once

#include <QString>

// Text as the database takes it: counted in characters (code points), as SQLite's length()
// and the width CHECKs of the file count them, and free of control characters.
namespace db {

// The number of characters, a pair of UTF-16 surrogates counting as one.
int characterCount(const QString &text);

// The text without control characters (a NUL, tab or line break cuts a statement or a row),
// without a surrogate that has lost its pair, and cut after maxCharacters characters, never
// inside a pair. A maxCharacters of 0 or less cuts nothing.
QString fitText(const QString &text, int maxCharacters);

} // namespace db
