#include "movement.h"

namespace stats {

qint64 MonthFigures::leftTotal() const
{
    qint64 total = 0;
    for (const qint64 n : left)
        total += n;
    return total;
}

int monthNumber(const QDate &day)
{
    return day.year() * 100 + day.month();
}

QList<MonthFigures> movement(const QList<MonthChange> &changes, const QDate &today, int monthCount)
{
    const QDate current(today.year(), today.month(), 1);
    const QDate first = current.addMonths(1 - monthCount);
    QList<MonthFigures> months;
    QMap<int, int> indexOf;
    for (QDate m = first; m <= current; m = m.addMonths(1)) {
        MonthFigures figures;
        figures.month = m;
        figures.countedOn = m == current ? today : m.addMonths(1).addDays(-1);
        indexOf.insert(monthNumber(m), int(months.size()));
        months.append(figures);
    }
    const int firstNumber = monthNumber(first);
    const int currentNumber = monthNumber(current);
    qint64 before = 0;
    for (const MonthChange &change : changes) {
        const qint64 net = change.added + change.returned - change.left;
        if (change.month < firstNumber) {
            before += net;
            continue;
        }
        const int number = change.month > currentNumber ? currentNumber : change.month;
        const auto at = indexOf.constFind(number);
        if (at == indexOf.cend()) {
            // Not a month of the calendar (a damaged day): it cannot be placed.
            before += net;
            continue;
        }
        MonthFigures &figures = months[at.value()];
        figures.added += change.added;
        figures.returned += change.returned;
        if (change.left != 0)
            figures.left[change.event] += change.left;
    }
    qint64 members = before;
    for (MonthFigures &figures : months) {
        members += figures.added + figures.returned - figures.leftTotal();
        figures.members = members;
    }
    return months;
}

} // namespace stats
