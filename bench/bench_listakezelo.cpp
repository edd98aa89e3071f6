// Opening the list manager on a list of about 100,000 members, measured against a bare
// sqlite3_step loop over the same member query in the same run, and scrolling its grid.
#include "ratioreporter.h"
#include "rawfile.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/connection.h"
#include "db/newdatabase.h"
#include "db/statement.h"
#include "db/statements.h"
#include "lists/ufrmListakezelo.h"
#include "tools/generator.h"
#include "ui/datasetmodel.h"
#include "ui/datasource.h"
#include "ui/mainstate.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int wantedMembers = 100000;
constexpr int benchList = 1;

// One database for the whole run: the generator's rows on one list, and the run state that
// the list manager reads them through.
struct Fixture
{
    Fixture()
        : state(&mainWidget, dir.path() + u'/')
    {
        db::schema::createDatabase(
            QDir(dir.path()).filePath(QString::fromLatin1(db::databaseFileName)),
            db::schema::Contents::WithSampleLists);
        state.connect();
        state.grantAccess();
        tools::GeneratorOptions options;
        options.lists = {benchList};
        options.seed = 7;
        // Most generated entries are on their list; add until the list holds enough.
        while (memberCount() < wantedMembers) {
            const int missing = wantedMembers - memberCount();
            tools::generate(state.connection(), std::max(tools::minimumEntryCount, missing * 4 / 3),
                            options);
        }
        state.setAktBeavtip(benchList);
    }

    int memberCount()
    {
        db::Statement count(
            state.connection(),
            QStringLiteral("SELECT count(*) FROM LISTA INNER JOIN ESEMENY ON "
                           "LISTA.ESEM_KOD = ESEMENY.ES_KOD WHERE ESEMENY.LISTAN = 'I' "
                           "AND LISTA.BEAVTIP_KOD = %1")
                .arg(benchList));
        count.step();
        return int(count.int64(0));
    }

    QTemporaryDir dir;
    QWidget mainWidget;
    ui::MainState state;
};

Fixture *fixture = nullptr;

// Every column of every row read as the engine gives it, nothing kept.
void rawStepLoop(benchmark::State &st)
{
    bench::RawFile raw(fixture->dir.filePath(QString::fromLatin1(db::databaseFileName)));
    const QByteArray sql = db::statements::memberQuery().toUtf8();
    std::int64_t rows = 0;
    for (auto _ : st) {
        const bench::RawFile::Read read = raw.read(sql, benchList);
        rows = read.rows;
        benchmark::DoNotOptimize(read.bytes);
    }
    st.counters["rows"] = double(rows);
}

// The member query opened as a dataset alone, without a view: the data layer's share.
void datasetOnly(benchmark::State &st)
{
    db::Dataset members;
    members.setConnection(&fixture->state.connection());
    members.setSql(db::statements::memberQuery());
    members.setFields(db::fields::members());
    for (auto _ : st) {
        members.close();
        members.setParameter(QStringLiteral("Aktbeavtip"), benchList);
        members.open();
        benchmark::DoNotOptimize(members.recordCount());
    }
    st.counters["rows"] = double(members.recordCount());
}

// The member query opened as the list manager's dataset and shown through the grid model.
void datasetAndModel(benchmark::State &st)
{
    db::Dataset members;
    members.setConnection(&fixture->state.connection());
    members.setSql(db::statements::memberQuery());
    members.setFields(db::fields::members());
    ui::DataSource source;
    source.setDataset(&members);
    ui::DatasetModel model;
    model.setColumns(TfrmListakezelo::memberColumns());
    model.setDataSource(&source);
    for (auto _ : st) {
        members.close();
        members.setParameter(QStringLiteral("Aktbeavtip"), benchList);
        members.open();
        benchmark::DoNotOptimize(model.index(model.rowCount() - 1, 0).data());
    }
    st.counters["rows"] = double(model.rowCount());
}

// The whole window: created, its list read, shown and painted once.
void listManagerWindow(benchmark::State &st)
{
    int rows = 0;
    for (auto _ : st) {
        TfrmListakezelo window(fixture->state, &fixture->mainWidget);
        window.readMembers();
        window.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.grab());
        rows = window.aqListaAdatok().recordCount();
    }
    st.counters["rows"] = double(rows);
}

// A page of the grid scrolled to and painted, across the whole list.
void scrollGrid(benchmark::State &st)
{
    TfrmListakezelo window(fixture->state, &fixture->mainWidget);
    window.readMembers();
    window.show();
    QApplication::processEvents();
    auto *grid = window.findChild<QTableView *>(QStringLiteral("dbgLista"));
    QScrollBar *bar = grid->verticalScrollBar();
    int step = 0;
    for (auto _ : st) {
        step = (step + 7919) % (bar->maximum() + 1);
        bar->setValue(step);
        benchmark::DoNotOptimize(grid->viewport()->grab());
    }
}

// One keystroke in the search box over the whole list, the grid's row map included: a
// letter typed, then taken back, so the rows shown narrow and widen in turn.
void searchKeystroke(benchmark::State &st)
{
    TfrmListakezelo window(fixture->state, &fixture->mainWidget);
    window.readMembers();
    window.show();
    QApplication::processEvents();
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("eKereses"));
    auto *grid = window.findChild<QTableView *>(QStringLiteral("dbgLista"));
    const QString typed = QStringLiteral("kovacs e");
    int step = 0;
    for (auto _ : st) {
        search->setText(typed.left(typed.size() - (step++ % 2)));
        benchmark::DoNotOptimize(grid->model()->rowCount());
    }
}

} // namespace

BENCHMARK(rawStepLoop)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(datasetOnly)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(datasetAndModel)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(listManagerWindow)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(scrollGrid)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(searchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(50);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Fixture data;
    fixture = &data;
    std::printf("members on list %d: %d\n", benchList, data.memberCount());
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto raw = reporter.seconds.find("rawStepLoop/iterations:8");
    if (raw != reporter.seconds.end() && raw->second > 0) {
        for (const auto &[name, seconds] : reporter.seconds)
            std::printf("%-40s %6.2fx the raw step loop\n", name.c_str(), seconds / raw->second);
    }
    fixture = nullptr;
    benchmark::Shutdown();
    return 0;
}
