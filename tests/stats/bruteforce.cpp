#include "bruteforce.h"

#include "db/statement.h"

#include <QSet>

#include <algorithm>
#include <map>
#include <vector>

namespace testsupport {

namespace {

struct LogRow
{
    qint64 order; // SORSZAM: as the rows were written
    QString column;
    QString oldValue;
    QString newValue;
};

struct Entry
{
    QDate listed;
    QString code;
    QDate eventDay;
    std::vector<LogRow> log;
};

struct Turn
{
    QDate day; // invalid: before any day
    bool on = false;
    QString code;
};

QDate storedDay(const db::Statement &statement, int column)
{
    return statement.isNull(column)
               ? QDate()
               : QDate::fromString(statement.text(column).left(10), Qt::ISODate);
}

QDate laterOf(const QDate &a, const QDate &b)
{
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return std::max(a, b);
}

// The turns of one entry on and off its list, each on its day as counted.
std::vector<Turn> turnsOf(const Entry &entry, const QSet<QString> &onCodes,
                          const QSet<QString> &offCodes)
{
    std::vector<LogRow> codes;
    std::vector<LogRow> days;
    for (const LogRow &row : entry.log)
        (row.column == u"ESEM_KOD" ? codes : days).push_back(row);
    const auto inWrittenOrder = [](const LogRow &a, const LogRow &b) { return a.order < b.order; };
    std::stable_sort(codes.begin(), codes.end(), inWrittenOrder);
    std::stable_sort(days.begin(), days.end(), inWrittenOrder);
    const auto dayThatStood = [&](qint64 order) {
        for (const LogRow &row : days) {
            if (row.order > order) {
                const QDate day = QDate::fromString(row.oldValue, QStringLiteral("M/d/yyyy"));
                return day.isValid() ? day : entry.eventDay;
            }
        }
        return entry.eventDay;
    };
    struct Step
    {
        QString code;
        bool on;
        QDate day;
    };
    std::vector<Step> history;
    history.reserve(codes.size() + 1);
    for (const LogRow &row : codes)
        history.push_back(
            {row.oldValue, !offCodes.contains(row.oldValue), dayThatStood(row.order)});
    history.push_back({entry.code, onCodes.contains(entry.code), entry.eventDay});

    std::vector<Turn> turns;
    bool on = true;
    QDate latest;
    for (const Step &step : history) {
        if (step.on == on)
            continue;
        latest = laterOf(latest, step.day);
        turns.push_back({laterOf(entry.listed, latest), step.on, step.code});
        on = step.on;
    }
    return turns;
}

} // namespace

QList<CountedMonth> countMonthsByHand(db::Connection &connection, const QList<int> &lists,
                                      const QDate &today, int monthCount)
{
    QSet<QString> onCodes;
    QSet<QString> offCodes;
    {
        db::Statement events(connection, QStringLiteral("SELECT ES_KOD, LISTAN FROM ESEMENY"));
        while (events.step())
            (events.text(1) == u"I" ? onCodes : offCodes).insert(events.text(0));
    }
    std::map<qint64, Entry> entries;
    {
        db::Statement lista(connection, QStringLiteral("SELECT HIV_SZAM, BEAVTIP_KOD, "
                                                       "LISTARA_DATUM, ESEM_KOD, ESEM_DATUM "
                                                       "FROM LISTA"));
        while (lista.step()) {
            if (lists.contains(int(lista.int64(1))))
                entries[lista.int64(0)]
                    = {storedDay(lista, 2), lista.text(3), storedDay(lista, 4), {}};
        }
    }
    {
        db::Statement log(connection, QStringLiteral("SELECT HIV_SZAM, SORSZAM, MEZO, REGI_ERTEK, "
                                                     "UJ_ERTEK FROM LOG"));
        while (log.step()) {
            const auto it = entries.find(log.int64(0));
            if (it != entries.end())
                it->second.log.push_back({log.int64(1), log.text(2), log.text(3), log.text(4)});
        }
    }

    const QDate current(today.year(), today.month(), 1);
    QList<CountedMonth> months;
    for (int i = monthCount - 1; i >= 0; --i) {
        const QDate month = current.addMonths(-i);
        CountedMonth counted;
        counted.countedOn = i == 0 ? today : month.addMonths(1).addDays(-1);
        months.append(counted);
    }
    const auto monthIndex = [&](const QDate &day) {
        if (!day.isValid())
            return -1;
        const QDate shown = std::min(day, today);
        const int back = (current.year() - shown.year()) * 12 + current.month() - shown.month();
        return back < monthCount ? monthCount - 1 - back : -1;
    };
    for (const auto &[hivSzam, entry] : entries) {
        const std::vector<Turn> turns = turnsOf(entry, onCodes, offCodes);
        for (CountedMonth &month : months) {
            const QDate end = month.countedOn;
            if (entry.listed.isValid() && std::min(entry.listed, today) > end)
                continue;
            bool on = true;
            for (const Turn &turn : turns) {
                if (turn.day.isValid() && std::min(turn.day, today) > end)
                    break;
                on = turn.on;
            }
            month.members += on ? 1 : 0;
        }
        if (const int m = monthIndex(entry.listed); m >= 0)
            ++months[m].added;
        for (const Turn &turn : turns) {
            const int m = monthIndex(turn.day);
            if (m < 0)
                continue;
            if (turn.on)
                ++months[m].returned;
            else
                ++months[m].left[turn.code];
        }
    }
    return months;
}

} // namespace testsupport
