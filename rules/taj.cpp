#include "taj.h"

namespace rules {

QString noTaj()
{
    return QStringLiteral("000000000");
}

QString tajDigits(const QString &editText)
{
    QString digits = editText;
    digits.remove(u'-');
    return digits;
}

int tajCheckDigit(quint32 firstEightDigits)
{
    quint32 p = firstEightDigits;
    quint32 sum = 0;
    quint32 weight = 7;
    for (int i = 0; i < 8; ++i) {
        sum += weight * (p % 10);
        p /= 10;
        weight = 10 - weight;
    }
    return int(sum % 10);
}

bool tajValid(quint32 taj)
{
    if (taj == 0 || taj >= 1000000000u)
        return false;
    return int(taj % 10) == tajCheckDigit(taj / 10);
}

} // namespace rules
