// The figures made from the statements' counts, without a database: the percentile rule, the
// ranges of the distribution, and the months of the trend around month ends and leap days.
#include "stats/figuretables.h"
#include "stats/movement.h"
#include "stats/tableexport.h"
#include "stats/waitingtimes.h"
#include "tables/texttable.h"

#include <QTest>

#include <algorithm>
#include <memory>

namespace {

stats::DayCount deferrable(const QDate &day, qint64 n)
{
    return {day, {0, n, 0}};
}

} // namespace

class TestStatsFigures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void percentileRankIsNearestRank_data();
    void percentileRankIsNearestRank();
    void waitsAroundTheThresholds_data();
    void waitsAroundTheThresholds();
    void undatedMembersCountOnlyAsMembers();
    void monthsEndOnTheirLastDayAndTodayLast_data();
    void monthsEndOnTheirLastDayAndTodayLast();
    void changesOutsideTheMonthsShown();
    void monthNamesAreHungarian_data();
    void monthNamesAreHungarian();
    void bigCountsGroupedOnScreenBareInTheCsv();
};

void TestStatsFigures::percentileRankIsNearestRank_data()
{
    QTest::addColumn<qint64>("n");
    QTest::addColumn<int>("percent");
    QTest::addColumn<qint64>("rank");
    QTest::newRow("none") << qint64(0) << 50 << qint64(0);
    QTest::newRow("one") << qint64(1) << 90 << qint64(1);
    QTest::newRow("median of two: the shorter") << qint64(2) << 50 << qint64(1);
    QTest::newRow("median of three") << qint64(3) << 50 << qint64(2);
    QTest::newRow("90th of ten") << qint64(10) << 90 << qint64(9);
    QTest::newRow("90th of eleven") << qint64(11) << 90 << qint64(10);
    QTest::newRow("90th of a million and one") << qint64(1000001) << 90 << qint64(900001);
}

void TestStatsFigures::percentileRankIsNearestRank()
{
    QFETCH(qint64, n);
    QFETCH(int, percent);
    QFETCH(qint64, rank);
    QCOMPARE(stats::percentileRank(n, percent), rank);
}

void TestStatsFigures::waitsAroundTheThresholds_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("bar");
    QTest::addColumn<qint64>("over90");
    QTest::addColumn<qint64>("over365");
    QTest::newRow("today") << 0 << 0 << qint64(0) << qint64(0);
    QTest::newRow("30 days") << 30 << 0 << qint64(0) << qint64(0);
    QTest::newRow("31 days") << 31 << 1 << qint64(0) << qint64(0);
    QTest::newRow("90 days: not over") << 90 << 2 << qint64(0) << qint64(0);
    QTest::newRow("91 days") << 91 << 3 << qint64(1) << qint64(0);
    QTest::newRow("365 days") << 365 << 4 << qint64(1) << qint64(0);
    QTest::newRow("366 days") << 366 << 5 << qint64(1) << qint64(1);
    QTest::newRow("731 days") << 731 << 6 << qint64(1) << qint64(1);
}

void TestStatsFigures::waitsAroundTheThresholds()
{
    QFETCH(int, days);
    QFETCH(int, bar);
    QFETCH(qint64, over90);
    QFETCH(qint64, over365);
    // Counted across the leap day of 2024.
    const QDate today(2024, 3, 1);
    const stats::WaitingTimes waits
        = stats::waitingTimes({deferrable(today.addDays(-days), 1)}, today);
    QCOMPARE(waits.all.median, qint64(days));
    QCOMPARE(waits.all.over90, over90);
    QCOMPARE(waits.all.over365, over365);
    for (int i = 0; i < waits.distribution.size(); ++i)
        QCOMPARE(waits.distribution.at(i).total, qint64(i == bar ? 1 : 0));
    QCOMPARE(stats::waitRangeLabel(waits.distribution.at(bar)).isEmpty(), false);
}

void TestStatsFigures::undatedMembersCountOnlyAsMembers()
{
    const QDate today(2024, 2, 29);
    const stats::WaitingTimes waits = stats::waitingTimes({deferrable({}, 2),
                                                           deferrable(today.addDays(1), 1),
                                                           deferrable(today.addDays(-10), 3),
                                                           {today.addDays(-400), {1, 0, 0}}},
                                                          today);
    QCOMPARE(waits.all.members, 7);
    QCOMPARE(waits.all.undated, 3);
    // Six waits: 10, 10, 10, 400 among deferrable and acute; the median is the second of four.
    QCOMPARE(waits.all.median, 10);
    QCOMPARE(waits.all.percentile90, 400);
    QCOMPARE(waits.byUrgency[stats::Deferrable].members, 6);
    QCOMPARE(waits.byUrgency[stats::Deferrable].longest, 10);
    QCOMPARE(waits.byUrgency[stats::Acute].longest, 400);
    QVERIFY(!waits.byUrgency[stats::OtherUrgency].median);
}

void TestStatsFigures::monthsEndOnTheirLastDayAndTodayLast_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("firstEnd");
    QTest::addColumn<QDate>("februaryEnd");
    QTest::newRow("leap day itself")
        << QDate(2024, 2, 29) << QDate(2022, 3, 31) << QDate(2024, 2, 29);
    QTest::newRow("first of a month")
        << QDate(2024, 3, 1) << QDate(2022, 4, 30) << QDate(2024, 2, 29);
    QTest::newRow("a year without one")
        << QDate(2023, 3, 15) << QDate(2021, 4, 30) << QDate(2023, 2, 28);
}

void TestStatsFigures::monthsEndOnTheirLastDayAndTodayLast()
{
    QFETCH(QDate, today);
    QFETCH(QDate, firstEnd);
    QFETCH(QDate, februaryEnd);
    const QList<stats::MonthFigures> months = stats::movement({}, today);
    QCOMPARE(months.size(), 24);
    QCOMPARE(months.first().countedOn, firstEnd);
    QCOMPARE(months.last().countedOn, today);
    bool sawFebruary = false;
    for (const stats::MonthFigures &m : months) {
        if (m.month == QDate(februaryEnd.year(), 2, 1)) {
            QCOMPARE(m.countedOn, februaryEnd);
            sawFebruary = true;
        }
    }
    QVERIFY(sawFebruary);
    const QString month
        = today.month() == 2 ? QStringLiteral("február") : QStringLiteral("március");
    QCOMPARE(stats::monthLabel(months.last().month),
             QStringLiteral("%1. %2").arg(QString::number(today.year()), month));
}

void TestStatsFigures::changesOutsideTheMonthsShown()
{
    const QDate today(2024, 3, 15);
    const QList<stats::MonthChange> changes{
        {0, {}, 5, 0, 0},      // listing day unknown: before everything
        {202001, {}, 3, 0, 0}, // long before
        {202001, QStringLiteral("BEA"), 0, 0, 2},
        {202203, QStringLiteral("KER"), 0, 0, 1}, // the month before the first shown
        {202204, {}, 4, 1, 0},                    // the first month shown
        {202405, QStringLiteral("BEA"), 0, 0, 1}, // a day still to come: counts today
        {202213, {}, 9, 0, 0},                    // not a month: cannot be placed
    };
    const QList<stats::MonthFigures> months = stats::movement(changes, today);
    QCOMPARE(months.first().members, 5 + 3 - 2 - 1 + 9 + 4 + 1);
    QCOMPARE(months.first().added, 4);
    QCOMPARE(months.first().returned, 1);
    QCOMPARE(months.last().left.value(QStringLiteral("BEA")), 1);
    QCOMPARE(months.last().members, months.first().members - 1);
}

void TestStatsFigures::monthNamesAreHungarian_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("label");
    const char *const names[]
        = {"január", "február",   "március",    "április", "május",    "június",
           "július", "augusztus", "szeptember", "október", "november", "december"};
    for (int m = 1; m <= 12; ++m)
        QTest::newRow(names[m - 1])
            << m << QStringLiteral("2023. ") + QString::fromUtf8(names[m - 1]);
}

void TestStatsFigures::monthNamesAreHungarian()
{
    QFETCH(int, month);
    QFETCH(QString, label);
    QCOMPARE(stats::monthLabel(QDate(2023, month, 1)), label);
    QCOMPARE(stats::dayLabel(QDate(2023, month, 1)),
             QStringLiteral("2023. %1. 01.").arg(month, 2, 10, QChar(u'0')));
}

void TestStatsFigures::bigCountsGroupedOnScreenBareInTheCsv()
{
    // Over a million members: the window's cells and the tool's text group the digits the
    // Hungarian way, with a space that does not break; the CSV keeps bare digits, so that a
    // spreadsheet reads numbers.
    const QDate today(2024, 2, 29);
    const stats::Scope scope{stats::Scope::Extent::OneList, 1, QStringLiteral("V"),
                             QStringLiteral("1 – Lista")};
    const stats::Figures figures
        = stats::figuresFrom(scope, today, {deferrable(today.addDays(-400), 1234567)},
                             {{202402, {}, 1234567, 0, 0}}, {});
    const QString grouped = QStringLiteral("1\u00a0234\u00a0567");
    const std::unique_ptr<tables::TextTable> now = stats::textModel(stats::nowTable(figures));
    QCOMPARE(now->index(1, 0).data().toString(), QStringLiteral("Halasztható"));
    QCOMPARE(now->index(1, 1).data().toString(), grouped);
    QCOMPARE(now->index(1, 4).data().toString(), QStringLiteral("400"));
    QCOMPARE(now->index(1, 7).data().toString(), grouped);
    const std::unique_ptr<tables::TextTable> trend = stats::textModel(stats::trendTable(figures));
    QCOMPARE(trend->index(23, 2).data().toString(), grouped);
    const QStringList lines = stats::plainText(figures).split(u'\n');
    const auto february = std::find_if(lines.cbegin(), lines.cend(), [](const QString &line) {
        return line.startsWith(QStringLiteral("2024. február"))
               && line.contains(QStringLiteral("2024. 02. 29."));
    });
    QVERIFY(february != lines.cend());
    QVERIFY2(february->endsWith(QStringLiteral(" ") + grouped), qPrintable(*february));

    const QString csv = QString::fromUtf8(stats::csvDocument({figures}));
    QVERIFY2(csv.contains(QStringLiteral(
                 "\r\nHalasztható;1234567;400;400;400;1234567;1234567;1234567;0\r\n")),
             qPrintable(csv));
    QVERIFY(csv.contains(QStringLiteral("\r\n2024. február;2024. 02. 29.;1234567\r\n")));
    QVERIFY(!csv.contains(QChar(0xa0)));
}

QTEST_GUILESS_MAIN(TestStatsFigures)
#include "tst_statsfigures.moc"
