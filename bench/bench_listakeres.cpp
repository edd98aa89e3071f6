// The list manager's search over 100,000 members: one keystroke's work (folding the query,
// comparing every member's keys, handing the rows found to the grid's row map), against a
// bare loop of QString::contains over the same pre-folded names in the same run. A frame is
// 16.7 ms.
#include "ratioreporter.h"

#include "lists/membersearch.h"
#include "ui/rowmapmodel.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <numeric>

namespace {

constexpr int memberCount = 100000;

// As many rows as the list, without data: the row map's share of a keystroke is measured.
class EmptyRows : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : memberCount;
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 7;
    }
    QVariant data(const QModelIndex &, int) const override { return {}; }
};

struct Members
{
    Members()
    {
        const QStringList family{
            QStringLiteral("Kovács"), QStringLiteral("Nagy"),    QStringLiteral("Szabó"),
            QStringLiteral("Tóth"),   QStringLiteral("Horváth"), QStringLiteral("Kiss"),
            QStringLiteral("Molnár"), QStringLiteral("Németh"),  QStringLiteral("Farkas"),
            QStringLiteral("Balogh"), QStringLiteral("Szűcs"),   QStringLiteral("Lőrincz")};
        const QStringList given{QStringLiteral("Éva"),        QStringLiteral("Ödön"),
                                QStringLiteral("Ágnes"),      QStringLiteral("Béla"),
                                QStringLiteral("Őrs"),        QStringLiteral("Zsófia"),
                                QStringLiteral("Ürömi Anna"), QStringLiteral("László"),
                                QStringLiteral("Katalin"),    QStringLiteral("Gergő")};
        QRandomGenerator random(7);
        order.resize(memberCount);
        std::iota(order.begin(), order.end(), 0);
        search.reserve(memberCount);
        for (int i = 0; i < memberCount; ++i) {
            const QString name = family.at(int(random.bounded(family.size()))) + u' '
                                 + given.at(int(random.bounded(given.size())));
            const QString taj
                = QStringLiteral("%1").arg(random.bounded(1000000000u), 9, 10, QLatin1Char('0'));
            search.addRow(name.toUtf8(), taj.toUtf8());
            folded.push_back(lists::MemberSearch::fold(name));
        }
        map.setSourceModel(&rows);
    }
    lists::MemberSearch search;
    std::vector<QString> folded;
    std::vector<int> order;
    EmptyRows rows;
    ui::RowMapModel map;
};

Members *members = nullptr;
const char *query = "kovacs e";

void rawContains(benchmark::State &st)
{
    const QString text = lists::MemberSearch::fold(QString::fromUtf8(query));
    std::size_t found = 0;
    for (auto _ : st) {
        found = 0;
        for (const QString &name : members->folded)
            found += name.contains(text) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
    st.counters["found"] = double(found);
}

void searchFilter(benchmark::State &st)
{
    const QString text = QString::fromUtf8(query);
    std::size_t found = 0;
    for (auto _ : st) {
        found = members->search.filter(text, members->order).size();
        benchmark::DoNotOptimize(found);
    }
    st.counters["found"] = double(found);
}

void searchByTajDigits(benchmark::State &st)
{
    const QString text = QStringLiteral("123-4");
    std::size_t found = 0;
    for (auto _ : st) {
        found = members->search.filter(text, members->order).size();
        benchmark::DoNotOptimize(found);
    }
    st.counters["found"] = double(found);
}

// A keystroke as the window does it: the rows found go to the grid's row map.
void keystroke(benchmark::State &st)
{
    const QString typed = QString::fromUtf8(query);
    int step = 0;
    for (auto _ : st) {
        // Typing a letter, then taking it back: the row map narrows and widens in turn.
        const QString text = typed.left(typed.size() - (step++ % 2));
        members->map.setRows(members->search.filter(text, members->order));
        benchmark::DoNotOptimize(members->map.rowCount());
    }
}

// Folding every member's keys, once per reading of the list.
void foldKeys(benchmark::State &st)
{
    std::vector<QByteArray> names;
    names.reserve(members->folded.size());
    for (const QString &name : members->folded)
        names.push_back(name.toUtf8());
    for (auto _ : st) {
        lists::MemberSearch search;
        search.reserve(memberCount);
        for (const QByteArray &name : names)
            search.addRow(name, {});
        benchmark::DoNotOptimize(search.rowCount());
    }
}

} // namespace

BENCHMARK(rawContains)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(searchFilter)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(searchByTajDigits)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(keystroke)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(foldKeys)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Members data;
    members = &data;
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto raw = reporter.seconds.find("rawContains/iterations:50");
    if (raw != reporter.seconds.end() && raw->second > 0) {
        for (const auto &[name, seconds] : reporter.seconds)
            std::printf("%-40s %6.2fx the raw contains loop, %6.2f ms (a frame is 16.7 ms)\n",
                        name.c_str(), seconds / raw->second, seconds * 1000.0);
    }
    members = nullptr;
    benchmark::Shutdown();
    return 0;
}
