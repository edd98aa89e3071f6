#include "waitingtimes.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace stats {

namespace {

// The bars' upper ends in days: a month, two, three, then the 180 and 365 of the Now figures
// and two years.
constexpr int bucketEnds[] = {30, 60, 90, 180, 365, 730};

// The waits of one group as (days, members).
using Waits = std::vector<std::pair<qint64, qint64>>;

void fill(WaitingFigures &figures, Waits waits)
{
    std::sort(waits.begin(), waits.end());
    qint64 n = 0;
    for (const auto &[days, count] : waits) {
        n += count;
        if (days > 90)
            figures.over90 += count;
        if (days > 180)
            figures.over180 += count;
        if (days > 365)
            figures.over365 += count;
    }
    if (n == 0)
        return;
    const qint64 medianRank = percentileRank(n, 50);
    const qint64 p90Rank = percentileRank(n, 90);
    qint64 seen = 0;
    for (const auto &[days, count] : waits) {
        const qint64 before = seen;
        seen += count;
        if (before < medianRank && medianRank <= seen)
            figures.median = days;
        if (before < p90Rank && p90Rank <= seen)
            figures.percentile90 = days;
    }
    figures.longest = waits.back().first;
}

int bucketOf(qint64 days)
{
    const auto end = std::lower_bound(std::begin(bucketEnds), std::end(bucketEnds), days);
    return int(end - std::begin(bucketEnds));
}

} // namespace

qint64 percentileRank(qint64 n, int percent)
{
    if (n <= 0)
        return 0;
    return (n * percent + 99) / 100;
}

WaitingTimes waitingTimes(const QList<DayCount> &counts, const QDate &today)
{
    WaitingTimes result;
    for (int end = 0; end <= int(std::size(bucketEnds)); ++end) {
        WaitBucket bucket;
        bucket.fromDays = end == 0 ? 0 : bucketEnds[end - 1] + 1;
        bucket.toDays = end < int(std::size(bucketEnds)) ? bucketEnds[end] : -1;
        result.distribution.append(bucket);
    }
    std::array<Waits, UrgencyCount> waits;
    Waits allWaits;
    for (const DayCount &day : counts) {
        const bool timed = day.day.isValid() && day.day <= today;
        const qint64 days = timed ? day.day.daysTo(today) : 0;
        for (int u = 0; u < UrgencyCount; ++u) {
            const qint64 n = day.members[size_t(u)];
            if (n == 0)
                continue;
            WaitingFigures &figures = result.byUrgency[size_t(u)];
            figures.members += n;
            result.all.members += n;
            if (!timed) {
                figures.undated += n;
                result.all.undated += n;
                continue;
            }
            waits[size_t(u)].emplace_back(days, n);
            allWaits.emplace_back(days, n);
            WaitBucket &bucket = result.distribution[bucketOf(days)];
            bucket.members[size_t(u)] += n;
            bucket.total += n;
        }
    }
    for (int u = 0; u < UrgencyCount; ++u)
        fill(result.byUrgency[size_t(u)], std::move(waits[size_t(u)]));
    fill(result.all, std::move(allWaits));
    return result;
}

} // namespace stats
