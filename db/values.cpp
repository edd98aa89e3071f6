#include "values.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <cstring>
#include <limits>

namespace db {

namespace {

inline char16_t unit(char c)
{
    return char16_t(uchar(c));
}

inline char16_t unit(QChar c)
{
    return c.unicode();
}

template<typename Char> int digit(Char c)
{
    const char16_t u = unit(c);
    return (u >= u'0' && u <= u'9') ? int(u - u'0') : -1;
}

// Hand-written: QDateTime::fromString costs several times the whole fetch of a row.
template<typename Char> QDateTime parseDateTime(const Char *s, qsizetype length)
{
    if (length != 10 && length != 19)
        return {};
    const auto number = [s](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            const int d = digit(s[i]);
            if (d < 0)
                return -1;
            value = value * 10 + d;
        }
        return value;
    };
    if (unit(s[4]) != u'-' || unit(s[7]) != u'-')
        return {};
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (length == 19) {
        if ((unit(s[10]) != u' ' && unit(s[10]) != u'T') || unit(s[13]) != u':'
            || unit(s[16]) != u':')
            return {};
        const int hour = number(11, 2);
        const int minute = number(14, 2);
        const int second = number(17, 2);
        if (hour < 0 || minute < 0 || second < 0 || !QTime::isValid(hour, minute, second))
            return {};
        time = QTime(hour, minute, second);
    }
    // UTC keeps the stored wall-clock fields and costs no time-zone lookup.
    return QDateTime(date, time, Qt::UTC);
}

template<typename Char> bool parseInteger(const Char *s, qsizetype length, qint64 *result)
{
    qsizetype i = 0;
    bool negative = false;
    if (length > 0 && (unit(s[0]) == u'-' || unit(s[0]) == u'+')) {
        negative = unit(s[0]) == u'-';
        i = 1;
    }
    if (i == length)
        return false;
    quint64 value = 0;
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    for (; i < length; ++i) {
        const int d = digit(s[i]);
        if (d < 0 || value > (limit - quint64(d)) / 10)
            return false;
        value = value * 10 + quint64(d);
    }
    *result = negative ? qint64(0 - value) : qint64(value);
    return true;
}

} // namespace

QDateTime parseStoredDateTime(const QString &text)
{
    return parseDateTime(text.constData(), text.size());
}

QDateTime parseStoredDateTime(const char *utf8, qsizetype bytes)
{
    return parseDateTime(utf8, bytes);
}

bool parseStoredInteger(QStringView text, qint64 *result)
{
    return parseInteger(text.data(), text.size(), result);
}

bool parseStoredInteger(const char *utf8, qsizetype bytes, qint64 *result)
{
    return parseInteger(utf8, bytes, result);
}

bool integralDouble(double value, qint64 *result)
{
    if (!std::isfinite(value) || std::trunc(value) != value || value < -9.2e18 || value > 9.2e18)
        return false;
    *result = qint64(value);
    return true;
}

QString storedText(QByteArrayView utf8)
{
    constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    qsizetype marks = 0;
    while (utf8.sliced(marks * 3).startsWith(byteOrderMark))
        ++marks;
    if (marks == 0)
        return QString::fromUtf8(utf8);
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.sliced(marks * 3));
}

bool isUtf8Text(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const auto *const end = p + bytes.size();
    constexpr quint64 highBits = 0x8080808080808080ULL;
    while (p < end) {
        // Stored texts are mostly plain letters: eight of them are passed at a time.
        quint64 word = 0;
        while (end - p >= qsizetype(sizeof word)
               && (std::memcpy(&word, p, sizeof word), (word & highBits) == 0))
            p += sizeof word;
        if (p == end)
            break;
        const uchar c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int k = 1; k < length; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[k] & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF)))
            || (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        p += length;
    }
    return true;
}

QString binaryPlaceholder()
{
    return QStringLiteral("(bináris adat)");
}

QString storedDateTimeText(const QDateTime &value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString storedDateText(const QDate &value)
{
    return value.toString(Qt::ISODate);
}

QString dateTimeReadingText(const QDateTime &value)
{
    if (value.time() == QTime(0, 0))
        return storedDateText(value.date());
    return storedDateTimeText(value);
}

} // namespace db
