#include "clock.h"

namespace db {

namespace {
QDateTime &fixedNow()
{
    static QDateTime moment;
    return moment;
}
} // namespace

QDateTime now()
{
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setFixedNow(const QDateTime &moment)
{
    fixedNow() = moment;
}

} // namespace db
