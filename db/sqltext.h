#pragma once

#include <QDate>
#include <QString>

namespace db {

// A text value as an SQL literal: between single quotes, every quote inside doubled, so any
// text a person types is stored as typed.
QString quoted(const QString &value);

// The SQL date text every statement uses, whatever the locale: month/day/four-digit year
// without leading zeros (the 7th of March 2006 is 3/7/2006).
QString sqlDateText(const QDate &date);

} // namespace db
