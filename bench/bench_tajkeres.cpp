// The TAJ search at 1,000,000 entries: the grouped statement opened as the general query, as
// the search does, against a bare sqlite3_step loop over the same statement in the same run.
#include "ratioreporter.h"
#include "rawfile.h"

#include "dataset/dataset.h"
#include "db/connection.h"
#include "db/newdatabase.h"
#include "db/statement.h"
#include "db/statements.h"
#include "tools/generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int entryCount = 1000000;

struct Fixture
{
    Fixture()
    {
        const QString path = QDir(dir.path()).filePath(QString::fromLatin1(db::databaseFileName));
        db::schema::createDatabase(path, db::schema::Contents::WithSampleLists);
        connection.open(path);
        tools::generate(connection, entryCount, tools::GeneratorOptions{});
        // Patients that are on some list, spread over the file, searched in turn.
        db::Statement sample(connection,
                             QStringLiteral("SELECT TAJ FROM LISTA WHERE HIV_SZAM % 9973 = 0"));
        while (sample.step())
            tajs << sample.text(0);
        tajs << QStringLiteral("000000001"); // nobody
    }

    QTemporaryDir dir;
    db::Connection connection;
    QStringList tajs;
};

Fixture *fixture = nullptr;

void rawStatement(benchmark::State &st)
{
    bench::RawFile raw(fixture->dir.filePath(QString::fromLatin1(db::databaseFileName)));
    int next = 0;
    std::size_t rows = 0;
    for (auto _ : st) {
        const QByteArray sql
            = db::statements::tajSearch(fixture->tajs[next++ % fixture->tajs.size()]).toUtf8();
        rows += std::size_t(raw.read(sql).rows);
    }
    st.counters["rows"] = double(rows);
}

void generalQuery(benchmark::State &st)
{
    db::Dataset aqAlt(QStringLiteral("aqAlt"));
    aqAlt.setConnection(&fixture->connection);
    int next = 0;
    std::size_t rows = 0;
    for (auto _ : st) {
        aqAlt.close();
        aqAlt.setSql(db::statements::tajSearch(fixture->tajs[next++ % fixture->tajs.size()]));
        aqAlt.open();
        rows += std::size_t(aqAlt.recordCount());
        benchmark::DoNotOptimize(aqAlt.asInteger(QStringLiteral("BEAVTIP_KOD")));
    }
    st.counters["rows"] = double(rows);
}

} // namespace

BENCHMARK(rawStatement)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(generalQuery)->Unit(benchmark::kMicrosecond)->Iterations(2000);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture data;
    fixture = &data;
    std::printf("entries: %d, patients searched in turn: %lld\n", entryCount,
                static_cast<long long>(data.tajs.size()));
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double raw = reporter.seconds["rawStatement/iterations:2000"];
    const double search = reporter.seconds["generalQuery/iterations:2000"];
    if (raw > 0)
        std::printf("TAJ search: %.3f ms a search, %.2fx the raw statement\n", search * 1000.0,
                    search / raw);
    fixture = nullptr;
    benchmark::Shutdown();
    return 0;
}
