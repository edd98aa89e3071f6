#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QVariant>

struct sqlite3_stmt;

// How values cross between the database file and the program: the SQLite value of a result
// column, and the stored text of days and moments ('YYYY-MM-DD', 'YYYY-MM-DD HH:MM:SS').
namespace db {

// A result column's value by its own SQLite type: qint64, double, QString, QByteArray, or a
// null QVariant.
QVariant columnValue(sqlite3_stmt *statement, int column);
// A result column's value as text (UTF-8 as stored).
QString columnText(sqlite3_stmt *statement, int column);

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

// The stored text of a moment: 'YYYY-MM-DD HH:MM:SS'.
QString storedDateTimeText(const QDateTime &value);
// The stored text of a day: 'YYYY-MM-DD'.
QString storedDateText(const QDate &value);
// A moment as a reader sees it: the day alone at midnight, else the whole stored text.
QString dateTimeReadingText(const QDateTime &value);

} // namespace db
