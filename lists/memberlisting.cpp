#include "memberlisting.h"

namespace lists {

QString waitingDaysTitle()
{
    return QStringLiteral("Várakozás (nap)");
}

std::optional<int> waitingDays(const QDateTime &listed, const QDate &today)
{
    // The stored wall-clock day counts, whatever zone the value is marked with.
    if (!listed.isValid() || !today.isValid())
        return std::nullopt;
    return int(listed.date().daysTo(today));
}

QString statusLine(const QString &listName, int shown, int total,
                   std::optional<int> longestWaitDays)
{
    const QString longest = longestWaitDays
                                ? QString::number(*longestWaitDays) + QStringLiteral(" nap")
                                : QStringLiteral("–");
    return QStringLiteral("Lista: %1   Látható: %2 / %3 tag   Leghosszabb várakozás: %4")
        .arg(listName, QString::number(shown), QString::number(total), longest);
}

} // namespace lists
