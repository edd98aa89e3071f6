#pragma once

#include "stats/statistics.h"

class QChart;

// The charts of the statistics window and of its printout, made from the same figures as the
// tables beside them. Each returns a new chart for the caller to own.
namespace statcharts {

// The distribution of the waits: a stacked bar per range of days, a bar set per urgency.
QChart *distributionChart(const stats::Figures &figures);
// Members at each month's end: one line over the months.
QChart *trendChart(const stats::Figures &figures);
// Each month's flow: who came and came back above the axis, who left below it, by event.
QChart *flowChart(const stats::Figures &figures);

// The short month names of the charts' axes: "2024. márc.".
QString shortMonthLabel(const QDate &month);

} // namespace statcharts
