#pragma once

#include <QDate>
#include <QDateTime>

namespace db {

// The one clock of the program: today's local date and the local time. Tests fix it, so
// that nothing depends on the day (or the minute) a test happens to run.
QDate today();
QDateTime now();

// Pins the clock to the given moment; an invalid value gives back the system clock.
void setFixedNow(const QDateTime &moment);

} // namespace db
