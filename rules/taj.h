#pragma once

#include <QString>

// The TAJ number's rules, shared by the windows that take one and by the test-data generator.
namespace rules {

// The digit text of a TAJ nobody has typed: the masked edit reads every empty position as "0".
QString noTaj();

// The TAJ digit text of a masked edit's text: every "-" removed.
QString tajDigits(const QString &editText);

// The ninth digit of a TAJ: the first eight weighted 3 and 7 by turns (7 on the rightmost of
// them), the sum taken modulo 10.
int tajCheckDigit(quint32 firstEightDigits);

// A TAJ of at most nine digits, not zero, whose last digit is the check digit of the others.
bool tajValid(quint32 taj);

} // namespace rules
