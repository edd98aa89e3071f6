#pragma once

#include <QDate>
#include <QList>

#include <array>
#include <optional>

namespace stats {

// The urgencies the figures are split by: acute ("A"), deferrable ("H"), and whatever else is
// stored (another letter, an empty text, none at all).
enum Urgency { Acute, Deferrable, OtherUrgency, UrgencyCount };

// The members of the list put on it on one day, by urgency. A null day is a listing day the
// database holds none of.
struct DayCount
{
    QDate day;
    std::array<qint64, UrgencyCount> members{};
};

// The waits of the members of one urgency (or of all), in whole days from the listing day to
// today. Members whose listing day is missing or still to come have no wait: they are counted
// as members and as undated, and nowhere else.
struct WaitingFigures
{
    qint64 members = 0;
    qint64 undated = 0;
    std::optional<qint64> median;
    std::optional<qint64> percentile90;
    std::optional<qint64> longest;
    qint64 over90 = 0;
    qint64 over180 = 0;
    qint64 over365 = 0;
};

// One bar of the distribution: the members whose wait is within [fromDays, toDays] (toDays
// -1: no upper bound), by urgency.
struct WaitBucket
{
    int fromDays = 0;
    int toDays = -1;
    std::array<qint64, UrgencyCount> members{};
    qint64 total = 0;
};

struct WaitingTimes
{
    std::array<WaitingFigures, UrgencyCount> byUrgency;
    WaitingFigures all;
    QList<WaitBucket> distribution;
};

// The rank (from 1) of the percentile in n waits sorted shortest first, by the nearest-rank
// rule: the smallest wait that at least that share of the members do not exceed. The median
// is the 50th: of an even number, the shorter of the two in the middle.
qint64 percentileRank(qint64 n, int percent);

WaitingTimes waitingTimes(const QList<DayCount> &counts, const QDate &today);

} // namespace stats
