#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QVariant>

// How days and moments cross between the database and the program: their stored text
// ('YYYY-MM-DD', 'YYYY-MM-DD HH:MM:SS'), and whole numbers in text.
namespace db {

// Parses stored date text: 'YYYY-MM-DD', 'YYYY-MM-DD HH:MM:SS' or with 'T'; invalid otherwise.
// The result is in UTC holding the stored wall-clock fields unchanged (the file keeps no zone).
QDateTime parseStoredDateTime(const QString &text);
QDateTime parseStoredDateTime(const char *utf8, qsizetype bytes);

// A whole integer in text: an optional sign and decimal digits only; false on anything else
// or on overflow.
bool parseStoredInteger(QStringView text, qint64 *result);
bool parseStoredInteger(const char *utf8, qsizetype bytes, qint64 *result);
// A double that holds a whole number within qint64's range.
bool integralDouble(double value, qint64 *result);

// Stored text as it is: every code point kept, a leading U+FEFF too (Qt's own UTF-8 decoding
// drops one as a byte-order mark). Bytes that are not UTF-8 decode to U+FFFD.
QString storedText(QByteArrayView utf8);
// True when the bytes are well-formed UTF-8: no overlong form, surrogate or value past U+10FFFF.
bool isUtf8Text(QByteArrayView bytes);
// What a reader sees for bytes that are not text.
QString binaryPlaceholder();

// The stored text of a moment: 'YYYY-MM-DD HH:MM:SS'.
QString storedDateTimeText(const QDateTime &value);
// The stored text of a day: 'YYYY-MM-DD'.
QString storedDateText(const QDate &value);
// A moment as a reader sees it: the day alone at midnight, else the whole stored text.
QString dateTimeReadingText(const QDateTime &value);

} // namespace db
