#include "benchcase.h"

#include "benchplatform.h"
#include "rawfile.h"
#include "rawserver.h"

#include "dataset/dataset.h"
#include "db/connection.h"
#include "db/engine.h"
#include "db/error.h"
#include "db/statement.h"
#include "db/statements.h"
#include "report/reportfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace bench {

namespace {

constexpr int tajSearches = 200;

QString databasePath(const QString &dir)
{
    return QDir(dir).filePath(QString::fromLatin1(db::databaseFileName));
}

QStringList sampleTajs(db::Connection &connection)
{
    QStringList tajs;
    db::Statement sample(connection, QStringLiteral("SELECT TAJ FROM LISTA WHERE HIV_SZAM % 97 = 0 "
                                                    "LIMIT %1")
                                         .arg(tajSearches));
    while (sample.step())
        tajs << sample.text(0);
    tajs << QStringLiteral("000000001"); // nobody
    return tajs;
}

struct Result
{
    double seconds = 0;
    double figure = 0;
    double cacheKb = 0; // the connection's decrypted pages held at the end
};

Result reportProgram(db::Connection &connection, const QString &dir)
{
    const QString path = QDir(dir).filePath(QStringLiteral("jelentes.xml"));
    db::Dataset source;
    source.setConnection(&connection);
    source.setTableName(QStringLiteral("QJELENTES"));
    QElapsedTimer timer;
    timer.start();
    db::Statement rows(connection, source.statementText());
    rows.setStreaming(true);
    if (rows.step())
        report::saveReport(path, rows);
    return {double(timer.nsecsElapsed()) / 1e9, double(QFileInfo(path).size())};
}

Result tajProgram(db::Connection &connection)
{
    const QStringList tajs = sampleTajs(connection);
    db::Dataset aqAlt(QStringLiteral("aqAlt"));
    aqAlt.setConnection(&connection);
    double rows = 0;
    QElapsedTimer timer;
    // The first round reads the pages in; the second is timed, as on the raw side.
    for (int round = 0; round < 2; ++round) {
        rows = 0;
        timer.start();
        for (const QString &taj : tajs) {
            aqAlt.close();
            aqAlt.setSql(db::statements::tajSearch(taj));
            aqAlt.open();
            rows += aqAlt.recordCount();
        }
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(tajs.size()), rows};
}

Result tajRaw(RawFile &raw, db::Connection &connection)
{
    const QStringList tajs = sampleTajs(connection);
    double rows = 0;
    QElapsedTimer timer;
    for (int round = 0; round < 2; ++round) {
        rows = 0;
        timer.start();
        for (const QString &taj : tajs)
            rows += double(raw.read(db::statements::tajSearch(taj).toUtf8()).rows);
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(tajs.size()), rows};
}

// The server's side of the raw cases: the same texts in the server's reading, through libpq.
Result serverRaw(const QString &name, const QString &server, db::Connection &connection,
                 const QString &dir)
{
    RawServer raw(server);
    QElapsedTimer timer;
    if (name == QStringLiteral("report")) {
        timer.start();
        const qint64 bytes = raw.report(QDir(dir).filePath(QStringLiteral("nyers.xml")));
        if (bytes < 0)
            throw db::Error(QStringLiteral("a nyers jelentés nem készült el"));
        return {double(timer.nsecsElapsed()) / 1e9, double(bytes)};
    }
    QStringList texts;
    for (const QString &taj : sampleTajs(connection))
        texts << db::statements::tajSearch(taj);
    double rows = 0;
    for (int round = 0; round < 2; ++round) {
        timer.start();
        rows = raw.tajSearches(texts);
    }
    return {double(timer.nsecsElapsed()) / 1e9 / double(texts.size()), rows};
}

} // namespace

int runCase(int argc, char **argv, const QString &name, const QString &dir, const QString &server)
{
    QApplication app(argc, argv);
    try {
        const bool raw = name.endsWith(QStringLiteral("-raw"));
        QString base = raw ? name.chopped(4) : name;
        const bool onServer = base.endsWith(QStringLiteral("-server"));
        if (onServer) {
            base.chop(7);
            db::Connection connection;
            if (!raw || base == QStringLiteral("taj"))
                connection.openServer(server);
            resetPeak();
            const long before = residentKb();
            Result result;
            if (raw)
                result = serverRaw(base, server, connection, dir);
            else if (base == QStringLiteral("report"))
                result = reportProgram(connection, dir);
            else if (base == QStringLiteral("taj"))
                result = tajProgram(connection);
            else
                return 2;
            const long growth = peakResidentKb() - before;
            std::printf("%.6f %ld %.6f 0\n", result.seconds, growth > 0 ? growth : 0,
                        result.figure);
            return 0;
        }
        db::Connection connection;
        std::unique_ptr<RawFile> rawFile;
        // The raw TAJ search takes its sample numbers through the program's connection.
        if (!raw || name == QStringLiteral("taj-raw"))
            connection.open(databasePath(dir));
        if (raw)
            rawFile = std::make_unique<RawFile>(databasePath(dir));
        resetPeak();
        const long before = residentKb();
        Result result;
        if (name == QStringLiteral("report"))
            result = reportProgram(connection, dir);
        else if (name == QStringLiteral("report-raw")) {
            QElapsedTimer timer;
            timer.start();
            const qint64 bytes = rawFile->report(QDir(dir).filePath(QStringLiteral("nyers.xml")));
            result = {double(timer.nsecsElapsed()) / 1e9, double(bytes)};
        } else if (name == QStringLiteral("taj"))
            result = tajProgram(connection);
        else if (name == QStringLiteral("taj-raw"))
            result = tajRaw(*rawFile, connection);
        else
            return 2;
        const long growth = peakResidentKb() - before;
        std::printf("%.6f %ld %.6f %.0f\n", result.seconds, growth > 0 ? growth : 0, result.figure,
                    result.cacheKb);
        return 0;
    } catch (const db::Error &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
}

} // namespace bench
