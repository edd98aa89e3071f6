#include "windowcase.h"

#include "benchplatform.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/file/fileengine.h"
#include "db/server/serverdialect.h"
#include "db/statement.h"
#include "db/statements.h"
#include "lists/ufrmListakezelo.h"
#include "tables/tablefiles.h"
#include "tables/tableprinter.h"
#include "tables/texttable.h"
#include "ui/mainhost.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QTableView>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <string_view>
#include <vector>

namespace bench {

namespace {

// What is typed into the search box, one letter at a time, then taken back.
constexpr char typed[] = "kovacs";
constexpr int nameColumn = 2; // the member query's NEV, also the grid's third column
constexpr int emptyList = -1; // no list has this code

void print(const char *figure, double value)
{
    std::printf("%s %.6f\n", figure, value);
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// The main window's part for the list manager: the bench's connection, already open.
class Host : public ui::MainHost
{
public:
    explicit Host(db::Connection &connection)
        : m_connection(connection)
    {
        m_osztaly.setConnection(&connection);
        m_osztaly.setTableName(QStringLiteral("OSZTALY"));
        m_osztaly.setFields(db::fields::osztaly());
        m_osztaly.open();
    }
    QWidget *mainWidget() override { return &m_main; }
    QString programDir() const override { return QDir::tempPath() + u'/'; }
    db::Connection &acZazadoroz() override { return m_connection; }
    db::Dataset &atOsztaly() override { return m_osztaly; }
    qint64 aktBeavtip() const override { return m_list; }
    void setAktBeavtip(qint64 code) override { m_list = code; }
    QString aktTAJ() const override { return {}; }
    void setAktTAJ(const QString &) override {}

private:
    db::Connection &m_connection;
    db::Dataset m_osztaly;
    QWidget m_main;
    qint64 m_list = emptyList;
};

// Counts the paints of every widget, so that a step is timed until its paint is over.
class Paints : public QObject
{
public:
    Paints() { qApp->installEventFilter(this); }
    ~Paints() override { qApp->removeEventFilter(this); }
    Paints(const Paints &) = delete;
    Paints &operator=(const Paints &) = delete;

    // Handles events until a paint that began after the call has ended.
    void wait(int before) const
    {
        QElapsedTimer limit;
        limit.start();
        while (m_count == before && limit.elapsed() < 10000)
            QCoreApplication::processEvents();
    }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

// One step of the person's, timed until the window has painted what it changed.
double timedStep(const Paints &paints, const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    const int before = paints.count();
    step();
    paints.wait(before);
    return seconds(timer);
}

QString outputPath(const QString &dir, const char *name)
{
    return QDir(dir).filePath(QString::fromLatin1(name));
}

void programCase(db::Connection &connection, const QString &dir, int list, bool readsOnly)
{
    Host host(connection);
    const Paints paints;
    // The main window and the chooser have been painted before the OK: the fonts and styles
    // they load are loaded here by a window on an empty list, opened and closed.
    {
        TfrmListakezelo warm(host, host.mainWidget());
        warm.readMembers();
        timedStep(paints, [&] { warm.show(); });
    }
    host.setAktBeavtip(list);
    resetPeak();
    const long before = residentKb();
    std::unique_ptr<TfrmListakezelo> window;
    print("open", timedStep(paints, [&] {
              window = std::make_unique<TfrmListakezelo>(host, host.mainWidget());
              window->readMembers();
              window->show();
          }));
    print("open-kb", double(residentKb() - before));
    // The file's page cache is the connection's, bounded by its size whatever the list.
    print("cache-kb", double(connection.engine().cacheBytes()) / 1024.0);

    // The member dialog reads its entry, then the list is read again.
    const auto reread = [&] {
        {
            db::Statement entry(
                connection,
                QStringLiteral("SELECT * FROM LISTA WHERE BEAVTIP_KOD = %1 LIMIT 1").arg(list));
            entry.step();
        }
        window->readMembers();
    };
    print("reread", timedStep(paints, reread));
    if (readsOnly) {
        // Each part of a re-read alone, and a second one.
        QElapsedTimer query;
        query.start();
        window->aqListaAdatok().refresh();
        print("reread-dataset", seconds(query));
        print("reread-again", timedStep(paints, reread));
        return;
    }

    // A person's first letter comes after the event loop has handled what the painted window
    // left for it: the search keys are folded then.
    QElapsedTimer idle;
    idle.start();
    QCoreApplication::processEvents();
    print("idle", seconds(idle));

    auto *search = window->findChild<QLineEdit *>(QStringLiteral("eKereses"));
    const QString letters = QString::fromLatin1(typed);
    double first = 0;
    double worst = 0;
    for (qsizetype i = 1; i <= letters.size() * 2; ++i) {
        const qsizetype length = i <= letters.size() ? i : letters.size() * 2 - i;
        const double step = timedStep(paints, [&] { search->setText(letters.left(length)); });
        if (i == 1)
            first = step;
        worst = std::max(worst, step);
    }
    print("key-first", first);
    print("key-worst", worst);
    print("search-kb", double(residentKb() - before));

    auto *grid = window->findChild<QTableView *>(QStringLiteral("dbgLista"));
    print("sort",
          timedStep(paints, [&] { Q_EMIT grid->horizontalHeader()->sectionClicked(nameColumn); }));

    QElapsedTimer timer;
    timer.start();
    {
        const lists::MemberListing listing = window->shownMembers();
        const tables::TextTable table(listing.titles, listing.rows, listing.numberColumns);
        tables::saveCsv(outputPath(dir, "lista.csv"), table, listing.heading.filterNote);
    }
    print("csv", seconds(timer));
    timer.start();
    {
        const lists::MemberListing listing = window->shownMembers();
        const tables::TextTable table(listing.titles, listing.rows, listing.numberColumns);
        tables::savePdf(outputPath(dir, "lista.pdf"), tables::TablePrinter(table, listing.heading),
                        listing.heading.title, QStringLiteral("vazuvede-bench"));
    }
    print("pdf", seconds(timer));
    print("rows", double(window->aqListaAdatok().recordCount()));
}

// The rows as a plain program keeps them: the bytes of every value one after another (a
// whole number as its 8 bytes), and where each ends.
struct RawRows
{
    int columns = 0;
    std::vector<char> bytes;
    std::vector<size_t> ends;

    int rows() const { return columns ? int(ends.size()) / columns : 0; }
    std::string_view cell(int row, int column) const
    {
        const size_t at = size_t(row) * size_t(columns) + size_t(column);
        const size_t begin = at == 0 ? 0 : ends[at - 1];
        return {bytes.data() + begin, ends[at] - begin};
    }
    void add(const char *data, size_t size)
    {
        bytes.insert(bytes.end(), data, data + size);
        ends.push_back(bytes.size());
    }
};

// The member query's rows through the C APIs alone, from the file or from the server: the
// connection is made (and the file's key proved) before anything is timed.
class RawSource
{
public:
    RawSource(const QString &dir, const QString &server)
    {
        if (!server.isEmpty()) {
            m_conn = PQconnectdb(server.toUtf8().constData());
            if (PQstatus(m_conn) != CONNECTION_OK)
                throw db::Error(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
            return;
        }
        const QByteArray path
            = QDir(dir).filePath(QString::fromLatin1(db::databaseFileName)).toUtf8();
        sqlite3_open_v2(path.constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        const QByteArray key = db::FileEngine::key();
        sqlite3_key(m_db, key.constData(), int(key.size()));
        sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    ~RawSource()
    {
        if (m_conn)
            PQfinish(m_conn);
        if (m_db)
            sqlite3_close_v2(m_db);
    }
    RawSource(const RawSource &) = delete;
    RawSource &operator=(const RawSource &) = delete;

    RawRows read(int list) { return m_db ? fileRows(list) : serverRows(list); }

private:
    RawRows fileRows(int list)
    {
        const QByteArray sql = db::statements::memberQuery().toUtf8();
        RawRows rows;
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
            throw db::Error(QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_bind_int(stmt, 1, list);
        rows.columns = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < rows.columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                    const sqlite3_int64 number = sqlite3_column_int64(stmt, c);
                    rows.add(reinterpret_cast<const char *>(&number), sizeof number);
                    continue;
                }
                const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                rows.add(text, text ? size_t(sqlite3_column_bytes(stmt, c)) : 0);
            }
        }
        sqlite3_finalize(stmt);
        return rows;
    }

    RawRows serverRows(int list)
    {
        const QByteArray sql = db::serverdialect::adapt(db::statements::memberQuery()).sql.toUtf8();
        const QByteArray value = QByteArray::number(list);
        const char *values[] = {value.constData()};
        PGresult *result
            = PQexecParams(m_conn, sql.constData(), 1, nullptr, values, nullptr, nullptr, 0);
        RawRows rows;
        rows.columns = PQnfields(result);
        for (int r = 0; r < PQntuples(result); ++r) {
            for (int c = 0; c < rows.columns; ++c)
                rows.add(PQgetvalue(result, r, c), size_t(PQgetlength(result, r, c)));
        }
        PQclear(result);
        return rows;
    }

    sqlite3 *m_db = nullptr;
    pg_conn *m_conn = nullptr;
};

// The rows as CSV lines, written, synced and renamed over the name.
void rawCsv(const RawRows &rows, const QString &path)
{
    const QByteArray name = path.toLocal8Bit();
    const QByteArray temporary = name + ".keszul";
    std::FILE *out = std::fopen(temporary.constData(), "wb");
    std::vector<char> line;
    for (int r = 0; r < rows.rows(); ++r) {
        line.clear();
        for (int c = 0; c < rows.columns; ++c) {
            const std::string_view cell = rows.cell(r, c);
            line.insert(line.end(), cell.begin(), cell.end());
            line.push_back(c + 1 < rows.columns ? ';' : '\r');
        }
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), out);
    }
    syncFile(out);
    std::fclose(out);
    std::rename(temporary.constData(), name.constData());
    syncFolder(QFileInfo(path).absolutePath().toLocal8Bit().constData());
}

// The rows drawn as text on A4 pages, a fixed width to each column, with no measuring.
void rawPdf(const RawRows &rows, const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&writer);
    const int lineHeight = painter.fontMetrics().height();
    const int columnWidth = painter.viewport().width() / std::max(1, rows.columns);
    const int linesPerPage = std::max(1, painter.viewport().height() / lineHeight - 1);
    for (int r = 0; r < rows.rows(); ++r) {
        if (r > 0 && r % linesPerPage == 0)
            writer.newPage();
        const int y = (r % linesPerPage + 1) * lineHeight;
        for (int c = 0; c < rows.columns; ++c) {
            const std::string_view cell = rows.cell(r, c);
            painter.drawText(c * columnWidth, y,
                             QString::fromUtf8(cell.data(), qsizetype(cell.size())));
        }
    }
}

void rawCase(const QString &dir, int list, const QString &server)
{
    RawSource source(dir, server);
    resetPeak();
    const long before = residentKb();
    QElapsedTimer timer;
    timer.start();
    const RawRows rows = source.read(list);
    print("open", seconds(timer));
    print("open-kb", double(residentKb() - before));
    print("row-bytes", double(rows.bytes.size()));

    // The least a search can do: a byte search in every name, for each letter typed.
    const QByteArray letters(typed);
    double worst = 0;
    for (qsizetype length = 1; length <= letters.size(); ++length) {
        const std::string_view query(letters.constData(), size_t(length));
        timer.start();
        std::vector<int> found;
        for (int r = 0; r < rows.rows(); ++r) {
            if (rows.cell(r, nameColumn).find(query) != std::string_view::npos)
                found.push_back(r);
        }
        worst = std::max(worst, seconds(timer));
    }
    print("key-worst", worst);

    // The least a sort by name can do in the Hungarian alphabet: a key per name, sorted.
    timer.start();
    {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(rows.rows()));
        for (int r = 0; r < rows.rows(); ++r) {
            const std::string_view name = rows.cell(r, nameColumn);
            keys.push_back(
                collator.sortKey(QString::fromUtf8(name.data(), qsizetype(name.size()))));
        }
        std::vector<int> order(size_t(rows.rows()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
    }
    print("sort", seconds(timer));

    timer.start();
    rawCsv(rows, outputPath(dir, "nyers.csv"));
    print("csv", seconds(timer));
    timer.start();
    rawPdf(rows, outputPath(dir, "nyers.pdf"));
    print("pdf", seconds(timer));
    print("rows", double(rows.rows()));
}

} // namespace

int runWindowCase(int argc, char **argv, bool raw, bool readsOnly, const QString &dir, int list,
                  const QString &server)
{
    QApplication app(argc, argv);
    try {
        if (raw) {
            rawCase(dir, list, server);
            return 0;
        }
        db::Connection connection;
        if (server.isEmpty())
            connection.open(QDir(dir).filePath(QString::fromLatin1(db::databaseFileName)));
        else
            connection.openServer(server);
        programCase(connection, dir, list, readsOnly);
        return 0;
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace bench
