// The speed and memory table: each piece of work the program does on a big file, measured
// against a raw SQLCipher C-API loop doing the same work in the same run. Every case runs in
// a process of its own, so that its peak memory is its own.
//
// The same work on the database server (the file moved up to a fresh database) is measured
// against a plain libpq program over the same connection, when a server can be reached.
//
//   vazuvede-bench [--meret 10000[,100000,...]] [--kiszolgalo KAPCSOLAT|nincs]
//                  [--csak statisztika] [--megtart MAPPA]
//
// KAPCSOLAT is a keyword=value libpq text for a database where new databases may be made
// (default "dbname=postgres", the rest from the PG* variables). --csak statisztika measures the
// statistics rows alone. With --megtart the file of each size stays in MAPPA/SIZE and its
// server database is kept, so that one case can be run (and profiled) again on the same rows:
// the lines on standard error say how.
#include "benchcase.h"
#include "startupcase.h"
#include "statscase.h"
#include "statswindowcase.h"
#include "windowcase.h"

#include "db/connection.h"
#include "db/engine.h"
#include "db/newdatabase.h"
#include "db/statement.h"
#include "tools/generator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

bool anyFailed = false;
bool statisticsOnly = false;
QString serverAdmin = QStringLiteral("dbname=postgres");
QString keptIn; // --megtart: where the files stay; empty when nothing is kept

struct Measured
{
    double seconds = 0;
    double peakMb = 0;  // growth of the peak resident memory over the opened connection
    double extra = 0;   // the case's own figure (row bytes, a second read, rows)
    double cacheMb = 0; // the page cache held at the end
    bool ok = false;
};

Measured runChild(const QString &name, const QString &dir, int list, const QString &server = {})
{
    QProcess child;
    QElapsedTimer started;
    started.start();
    QStringList arguments{QStringLiteral("--eset"),  name,
                          QStringLiteral("--adat"),  dir,
                          QStringLiteral("--lista"), QString::number(list)};
    if (!server.isEmpty())
        arguments << QStringLiteral("--kapcsolat") << server;
    arguments << QStringLiteral("--kezdet") << QString::number(started.msecsSinceReference());
    child.start(QCoreApplication::applicationFilePath(), arguments);
    Measured m;
    if (!child.waitForFinished(30 * 60 * 1000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(name),
                     child.readAllStandardError().constData());
        anyFailed = true;
        return m;
    }
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() == 4) {
        m.seconds = parts[0].toDouble();
        m.peakMb = parts[1].toDouble() / 1024.0;
        m.extra = parts[2].toDouble();
        m.cacheMb = parts[3].toDouble() / 1024.0;
        m.ok = true;
    } else {
        anyFailed = true;
    }
    return m;
}

// A case that prints one "figure value" line per figure.
QMap<QString, double> runFigures(const QString &name, const QString &dir, int list,
                                 const QString &server = {})
{
    QProcess child;
    QStringList arguments{QStringLiteral("--eset"),  name,
                          QStringLiteral("--adat"),  dir,
                          QStringLiteral("--lista"), QString::number(list)};
    if (!server.isEmpty())
        arguments << QStringLiteral("--kapcsolat") << server;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QMap<QString, double> figures;
    if (!child.waitForFinished(60 * 60 * 1000) || child.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(name),
                     child.readAllStandardError().constData());
        anyFailed = true;
        return figures;
    }
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2)
            figures.insert(QString::fromLatin1(parts[0]), parts[1].toDouble());
    }
    return figures;
}

int biggestList(db::Connection &connection)
{
    db::Statement lists(connection,
                        QStringLiteral("SELECT LISTA.BEAVTIP_KOD, count(*) FROM LISTA INNER JOIN "
                                       "ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD WHERE "
                                       "ESEMENY.LISTAN = 'I' GROUP BY LISTA.BEAVTIP_KOD ORDER BY 2 "
                                       "DESC LIMIT 1"));
    return lists.step() ? int(lists.int64(0)) : 0;
}

void row(const char *work, const QString &size, const QString &program, const QString &raw,
         const QString &ratio, const char *goal, const QString &memory)
{
    std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", work, qPrintable(size),
                qPrintable(program), qPrintable(raw), qPrintable(ratio), goal, qPrintable(memory));
}

QString ms(double seconds)
{
    return seconds >= 1 ? QStringLiteral("%1 s").arg(seconds, 0, 'f', 2)
                        : QStringLiteral("%1 ms").arg(seconds * 1000, 0, 'f', 2);
}

QString mb(double value)
{
    return QStringLiteral("%1 MB").arg(value, 0, 'f', 1);
}

QString ratio(double a, double b)
{
    return b > 0 ? QStringLiteral("%1x").arg(a / b, 0, 'f', 2) : QStringLiteral("-");
}

// The window and the tool as a person meets them, from their start to every figure shown or
// written (goal: within 1 s).
void measureStatisticsSeen(const QString &dir, int list, const QString &members,
                           const QString &rows, const QString &server)
{
    const QString programDir = server.isEmpty() ? dir : bench::serverProgramDir(dir, server);
    const auto seen = [&server](const char *work, const QString &size, double seconds) {
        const QByteArray what
            = (server.isEmpty() ? QByteArray() : QByteArray("server: ")) + QByteArray(work);
        row(what.constData(), size, ms(seconds), QStringLiteral("-"), QStringLiteral("-"),
            "within 1 s", QString());
    };
    const Measured window = runChild(QStringLiteral("stats-window"), programDir, list);
    seen("statistics window shown on the list", members, window.seconds);
    seen("statistics window turned to all the lists of its kind", rows, window.extra);
    const double one = bench::timeStatisticsTool(programDir, list);
    const double all = bench::timeStatisticsTool(programDir, -1);
    anyFailed = anyFailed || one < 0 || all < 0;
    seen("vazuvede-admin statisztika --lista, whole run", members, one);
    seen("vazuvede-admin statisztika (every list), whole run", rows, all);
}

// Each figure's statement against a raw loop over the same rows, then every figure of the
// list and of its kind as the window and the tool compute them (goal: within 1 s).
void measureStatistics(const QString &dir, int list, const QString &members, const QString &rows,
                       const QString &server = {})
{
    struct Figure
    {
        const char *work;
        const char *name;
        const char *goal;
    };
    const Figure figures[] = {
        {"statistics: members by day", "stats-members", "under raw"},
        {"statistics: left by month", "stats-left", "under raw"},
        {"statistics: histories that came back", "stats-history", "under raw"},
        {"statistics: every figure of the list", "stats-all", "within 1 s"},
        {"statistics: every figure of its kind", "stats-kind", "within 1 s"},
    };
    const QString suffix = server.isEmpty() ? QString() : QStringLiteral("-server");
    for (const Figure &figure : figures) {
        const QString name = QString::fromLatin1(figure.name) + suffix;
        const Measured program = runChild(name, dir, list, server);
        const Measured raw = runChild(name + QStringLiteral("-raw"), dir, list, server);
        const QByteArray work
            = (server.isEmpty() ? QByteArray() : QByteArray("server: ")) + QByteArray(figure.work);
        row(work.constData(), name.contains(QStringLiteral("kind")) ? rows : members,
            ms(program.seconds), ms(raw.seconds), ratio(program.seconds, raw.seconds), figure.goal,
            QStringLiteral("%1 rows or groups").arg(program.extra));
    }
    measureStatisticsSeen(dir, list, members, rows, server);
}

// The list manager as the person waits for it, each step against a plain program doing the
// same work over the same rows in the same run.
void measureWindow(const QString &dir, int list, const QString &members, const QString &server = {})
{
    const QString suffix = server.isEmpty() ? QString() : QStringLiteral("-server");
    const QMap<QString, double> program
        = runFigures(QStringLiteral("window") + suffix, dir, list, server);
    const QMap<QString, double> raw
        = runFigures(QStringLiteral("window") + suffix + QStringLiteral("-raw"), dir, list, server);
    if (program.isEmpty() || raw.isEmpty())
        return;
    const QByteArray on = server.isEmpty() ? QByteArray() : QByteArray("server: ");
    const auto line
        = [&](const char *work, const char *figure, const char *goal, const QString &note = {}) {
              const double a = program.value(QString::fromLatin1(figure));
              const double b = raw.value(QString::fromLatin1(figure));
              row((on + work).constData(), members, ms(a), ms(b), ratio(a, b), goal, note);
          };
    line("list manager: the chooser's OK to the first paint", "open", "at most 1.2x",
         QStringLiteral("raw: fetch and copy"));
    const double open = program.value(QStringLiteral("open"));
    const double again = program.value(QStringLiteral("reread"));
    row((on + "list manager: read again after a member dialog").constData(), members, ms(again),
        QStringLiteral("first %1").arg(ms(open)), ratio(again, open), "at most 0.5x", QString());
    line("list manager: a search keystroke, the slowest", "key-worst", "within 16 ms",
         QStringLiteral("first %1; keys folded when idle before it %2")
             .arg(ms(program.value(QStringLiteral("key-first"))),
                  ms(program.value(QStringLiteral("idle")))));
    line("list manager: a click on the name's title", "sort", "-",
         QStringLiteral("raw: Hungarian keys sorted"));
    line("list manager: the list as CSV", "csv", "-");
    line("list manager: the list as PDF", "pdf", "-");
    const double rowMb = raw.value(QStringLiteral("row-bytes")) / 1048576.0;
    const double cacheMb = program.value(QStringLiteral("cache-kb")) / 1024.0;
    const double openMb = program.value(QStringLiteral("open-kb")) / 1024.0 - cacheMb;
    const double searchMb = program.value(QStringLiteral("search-kb")) / 1024.0 - cacheMb;
    row((on + "list manager: memory held, without the page cache").constData(), members, mb(openMb),
        QStringLiteral("row bytes %1").arg(mb(rowMb)), ratio(openMb, rowMb),
        "at most 1.5x + window",
        QStringLiteral("page cache %1; searched %2").arg(mb(cacheMb), mb(searchMb)));
    std::fflush(stdout);
}

// The report, the list manager and the TAJ search on the server, each against plain libpq.
void measureServerWork(const QString &dir, int list, const QString &members, const QString &rows,
                       const QString &server)
{
    const Measured report = runChild(QStringLiteral("report-server"), dir, list, server);
    const Measured reportRaw = runChild(QStringLiteral("report-server-raw"), dir, list, server);
    row("server: report, time", rows, ms(report.seconds), ms(reportRaw.seconds),
        ratio(report.seconds, reportRaw.seconds), "at most 1.2x",
        QStringLiteral("file %1").arg(mb(report.extra / 1048576.0)));
    row("server: report, memory growth", rows, mb(report.peakMb), mb(reportRaw.peakMb),
        ratio(report.peakMb, reportRaw.peakMb), "under 32 MB", QString());
    measureWindow(dir, list, members, server);
    const Measured taj = runChild(QStringLiteral("taj-server"), dir, list, server);
    const Measured tajRaw = runChild(QStringLiteral("taj-server-raw"), dir, list, server);
    row("server: TAJ search", rows, ms(taj.seconds), ms(tajRaw.seconds),
        ratio(taj.seconds, tajRaw.seconds), "keep (about 1x)", QString());
}

// The file moved up to a fresh server database, the server rows measured, the database
// dropped again. Without a server the rows say why.
void measureServer(const QString &dir, const QString &path, int list, const QString &members,
                   const QString &rows)
{
    if (serverAdmin == u"nincs")
        return;
    const QString name = QStringLiteral("vazuvede_bench_%1_%2")
                             .arg(keptIn.isEmpty() ? QCoreApplication::applicationPid() : 0)
                             .arg(rows);
    const QString server = serverAdmin + QStringLiteral(" dbname=") + name;
    std::unique_ptr<db::Connection> admin;
    try {
        admin = std::make_unique<db::Connection>();
        admin->openServer(serverAdmin, db::Connection::Mode::ExistingAnyVersion);
        admin->execute(QStringLiteral("CREATE DATABASE ") + name);
        db::Connection file;
        file.open(path);
        db::Connection target;
        target.openServer(server, db::Connection::Mode::ExistingAnyVersion);
        target.engine().takeOver(file, {});
        target.execute(QStringLiteral("ANALYZE"));
    } catch (const db::Error &e) {
        const QString why = e.message().section(u'\n', 0, 0);
        row("server rows", rows, QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), "-",
            QStringLiteral("no server: %1").arg(why));
        if (admin && admin->isOpen())
            admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name);
        return;
    }
    if (!statisticsOnly)
        measureServerWork(dir, list, members, rows, server);
    measureStatistics(dir, list, members, rows, server);
    if (keptIn.isEmpty())
        admin->execute(QStringLiteral("DROP DATABASE IF EXISTS ") + name);
    else
        std::fprintf(stderr, "kept: --eset NAME --adat %s --lista %d --kapcsolat '%s'\n",
                     qPrintable(dir), list, qPrintable(server));
}

qint64 listMembers(const QString &path, int list)
{
    db::Connection connection;
    connection.open(path);
    db::Statement count(connection, QStringLiteral("SELECT count(*) FROM LISTA INNER JOIN "
                                                   "ESEMENY ON LISTA.ESEM_KOD = ESEMENY.ES_KOD "
                                                   "WHERE ESEMENY.LISTAN = 'I' AND "
                                                   "LISTA.BEAVTIP_KOD = %1")
                                        .arg(list));
    count.step();
    return count.int64(0);
}

// The report, the list manager, the TAJ search and the start-up on the file, each against a
// raw loop.
void measureFileWork(const QString &dir, int list, const QString &members, const QString &rows)
{
    const Measured report = runChild(QStringLiteral("report"), dir, list);
    const Measured reportRaw = runChild(QStringLiteral("report-raw"), dir, list);
    row("report, time", rows, ms(report.seconds), ms(reportRaw.seconds),
        ratio(report.seconds, reportRaw.seconds), "at most 1.2x",
        QStringLiteral("file %1").arg(mb(report.extra / 1048576.0)));
    row("report, memory growth", rows, mb(report.peakMb), mb(reportRaw.peakMb),
        ratio(report.peakMb, reportRaw.peakMb), "under 32 MB", QString());

    measureWindow(dir, list, members);

    const Measured taj = runChild(QStringLiteral("taj"), dir, list);
    const Measured tajRaw = runChild(QStringLiteral("taj-raw"), dir, list);
    row("TAJ search", rows, ms(taj.seconds), ms(tajRaw.seconds), ratio(taj.seconds, tajRaw.seconds),
        "keep (about 1x)", QString());

    // The key is derived from the password at every opening of the file: shown apart, so
    // that the rest is what the program itself adds.
    const Measured startup = runChild(QStringLiteral("startup"), dir, list);
    row("start-up to the login window", rows, ms(startup.seconds),
        QStringLiteral("of it the key %1").arg(ms(startup.extra)),
        QStringLiteral("key + %1").arg(ms(startup.seconds - startup.extra)),
        "keep (key + 45-50 ms)", QString());
}

void measureSize(int size)
{
    std::optional<QTemporaryDir> temporary;
    QString folder = QDir(keptIn).filePath(QString::number(size));
    if (keptIn.isEmpty()) {
        temporary.emplace();
        folder = temporary->path();
    } else {
        QDir().mkpath(folder);
    }
    const QString path = QDir(folder).filePath(QString::fromLatin1(db::databaseFileName));
    db::schema::createDatabase(path, db::schema::Contents::WithSampleLists);
    int list = 0;
    {
        db::Connection connection;
        connection.open(path);
        tools::generate(connection, size, tools::GeneratorOptions{});
        list = biggestList(connection);
    }
    // Counted and closed at once: a statement left open keeps the file's read lock, and the
    // writers below would wait for it in vain.
    const QString members = QString::number(listMembers(path, list));
    const QString rows = QString::number(size);

    if (!statisticsOnly)
        measureFileWork(folder, list, members, rows);
    const int returned = bench::addReturns(path);
    std::printf("| statistics: entries that left and came back, added | %s | %d | - | - | - | |\n",
                qPrintable(rows), returned);
    measureStatistics(folder, list, members, rows);
    std::fflush(stdout);

    measureServer(folder, path, list, members, rows);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    const auto option = [&args](const char *name, const QString &fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const QString caseName = option("--eset", QString());
    if (caseName == QStringLiteral("startup"))
        return bench::runStartup(argc, argv, option("--adat", QString()),
                                 option("--kezdet", QStringLiteral("0")).toLongLong());
    if (caseName.startsWith(QStringLiteral("window")))
        return bench::runWindowCase(
            argc, argv, caseName.endsWith(QStringLiteral("-raw")),
            caseName.startsWith(QStringLiteral("window-reads")), option("--adat", QString()),
            option("--lista", QStringLiteral("1")).toInt(), option("--kapcsolat", QString()));
    if (caseName == QStringLiteral("stats-window"))
        return bench::runStatsWindowCase(argc, argv, option("--adat", QString()),
                                         option("--lista", QStringLiteral("1")).toInt());
    if (caseName.startsWith(QStringLiteral("stats-")))
        return bench::runStatsCase(caseName, option("--adat", QString()),
                                   option("--lista", QStringLiteral("1")).toInt(),
                                   option("--kapcsolat", QString()));
    if (!caseName.isEmpty())
        return bench::runCase(argc, argv, caseName, option("--adat", QString()),
                              option("--kapcsolat", QString()));
    serverAdmin = option("--kiszolgalo", serverAdmin);
    statisticsOnly = option("--csak", QString()) == u"statisztika";
    keptIn = option("--megtart", QString());

    QCoreApplication app(argc, argv);
    std::printf("| work | rows | program | raw | ratio | goal | note |\n"
                "|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
    for (const QString &size : option("--meret", QStringLiteral("10000")).split(u',')) {
        bool ok = false;
        const int n = size.toInt(&ok);
        if (!ok || n < tools::minimumEntryCount || n > tools::maximumEntryCount) {
            std::fprintf(stderr, "--meret: %d..%d\n", tools::minimumEntryCount,
                         tools::maximumEntryCount);
            return 2;
        }
        measureSize(n);
        std::fflush(stdout);
    }
    return anyFailed ? 1 : 0;
}
