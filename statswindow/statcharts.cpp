#include "statcharts.h"

#include "stats/figuretables.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace statcharts {

namespace {

const QLocale &hungarian()
{
    static const QLocale locale(QLocale::Hungarian, QLocale::Hungary);
    return locale;
}

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setLocale(hungarian());
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QStringList monthCategories(const stats::Figures &figures)
{
    QStringList categories;
    for (const stats::MonthFigures &m : figures.months)
        categories << shortMonthLabel(m.month);
    return categories;
}

// A step of 1, 2 or 5 times a power of ten that cuts the span into at most five parts, at
// least 1: the value axis counts people.
qreal wholeStep(qreal span)
{
    const qreal wanted = std::max(span / 5, qreal(1));
    qreal power = 1;
    while (power * 10 <= wanted)
        power *= 10;
    for (const qreal times : {1, 2, 5, 10}) {
        if (times * power >= wanted)
            return times * power;
    }
    return 10 * power;
}

// Axes for a series over categories, the value axis in whole numbers with a tick at each
// whole step, Hungarian digit groups.
void addAxes(QChart *chart, QAbstractSeries *series, const QStringList &categories, qreal low,
             qreal high)
{
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    if (categories.size() > 12)
        x->setLabelsAngle(-90);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);
    auto *y = new QValueAxis;
    const qreal step = wholeStep(high - low);
    const qreal bottom = std::floor(low / step) * step;
    const qreal top = std::max(std::ceil(high / step) * step, bottom + step);
    // "%d" loses every label once the chart localizes its numbers.
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setRange(bottom, top);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(step);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
}

} // namespace

QString shortMonthLabel(const QDate &month)
{
    return QStringLiteral("%1. %2").arg(
        QString::number(month.year()),
        hungarian().standaloneMonthName(month.month(), QLocale::ShortFormat));
}

QChart *distributionChart(const stats::Figures &figures)
{
    QChart *chart = newChart(stats::distributionTable(figures).title);
    auto *series = new QStackedBarSeries;
    qreal highest = 0;
    for (const int u : stats::urgenciesShown(figures)) {
        auto *set = new QBarSet(stats::urgencyLabel(u));
        for (const stats::WaitBucket &bucket : figures.waiting.distribution)
            *set << qreal(bucket.members[size_t(u)]);
        series->append(set);
    }
    QStringList ranges;
    for (const stats::WaitBucket &bucket : figures.waiting.distribution) {
        ranges << stats::waitRangeLabel(bucket);
        highest = std::max(highest, qreal(bucket.total));
    }
    chart->addSeries(series);
    addAxes(chart, series, ranges, 0, highest);
    return chart;
}

QChart *trendChart(const stats::Figures &figures)
{
    QChart *chart = newChart(stats::trendTable(figures).title);
    auto *series = new QLineSeries;
    series->setName(QStringLiteral("Listatagok"));
    series->setPointsVisible(true);
    qreal highest = 0;
    for (int i = 0; i < figures.months.size(); ++i) {
        series->append(qreal(i), qreal(figures.months.at(i).members));
        highest = std::max(highest, qreal(figures.months.at(i).members));
    }
    chart->addSeries(series);
    addAxes(chart, series, monthCategories(figures), 0, highest);
    return chart;
}

QChart *flowChart(const stats::Figures &figures)
{
    QChart *chart = newChart(stats::flowTable(figures).title);
    auto *series = new QStackedBarSeries;
    auto *added = new QBarSet(QStringLiteral("Felvéve"));
    auto *returned = new QBarSet(QStringLiteral("Visszakerült"));
    qreal highest = 0;
    qreal lowest = 0;
    for (const stats::MonthFigures &m : figures.months) {
        *added << qreal(m.added);
        *returned << qreal(m.returned);
        highest = std::max(highest, qreal(m.added + m.returned));
        lowest = std::min(lowest, -qreal(m.leftTotal()));
    }
    series->append(added);
    series->append(returned);
    // Those who left, below the axis, by the event that took them off.
    for (const QString &code : stats::leavingEvents(figures)) {
        auto *left = new QBarSet(
            QStringLiteral("Lekerült: %1").arg(stats::eventLabel(code, figures.events)));
        for (const stats::MonthFigures &m : figures.months)
            *left << -qreal(m.left.value(code));
        series->append(left);
    }
    chart->addSeries(series);
    addAxes(chart, series, monthCategories(figures), lowest, highest);
    return chart;
}

} // namespace statcharts
