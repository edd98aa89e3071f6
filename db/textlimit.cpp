#include "textlimit.h"

namespace db {

namespace {
bool isControl(char32_t c)
{
    // C0 and C1 controls and DEL, and the Unicode line and paragraph separators.
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}
} // namespace

int characterCount(const QString &text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString fitText(const QString &text, int maxCharacters)
{
    QString fitted;
    fitted.reserve(text.size());
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (maxCharacters > 0 && count >= maxCharacters)
            break;
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                fitted += c;
                fitted += text[++i];
                ++count;
            }
            continue;
        }
        if (c.isLowSurrogate() || isControl(c.unicode()))
            continue;
        fitted += c;
        ++count;
    }
    return fitted;
}

} // namespace db
