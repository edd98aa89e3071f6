#include "rawserver.h"

#include "benchplatform.h"
#include "rawrow.h"

#include "db/error.h"
#include "db/server/serverdialect.h"

#include <QFileInfo>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace bench {

namespace {

using namespace rawrow;

// One z:row of the single-row result into the buffer at out. Numbers and days come as the
// server's text.
char *putRow(char *out, const PGresult *row)
{
    const char *lineStart = nullptr;
    out = beginRow(out, lineStart);
    bool first = true;
    for (int c = 0; c < columnCount; ++c) {
        if (PQgetisnull(row, 0, c))
            continue;
        out = beginAttribute(out, c, lineStart, first);
        out = putText(out, c, PQgetvalue(row, 0, c), PQgetlength(row, 0, c));
        *out++ = '\'';
    }
    return endRow(out);
}

size_t rowBound(const PGresult *row)
{
    size_t bound = 256;
    for (int c = 0; c < columnCount; ++c)
        bound += size_t(PQgetlength(row, 0, c)) * widestEscape + 32;
    return bound;
}

} // namespace

RawServer::RawServer(const QString &connectionText)
{
    m_conn = PQconnectdb(connectionText.toUtf8().constData());
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw db::Error(QString::fromUtf8(PQerrorMessage(m_conn)).trimmed());
}

RawServer::~RawServer()
{
    PQfinish(m_conn);
}

double RawServer::tajSearches(const QStringList &texts)
{
    double rows = 0;
    for (const QString &text : texts) {
        const QByteArray sql = db::serverdialect::adapt(text).sql.toUtf8();
        PGresult *result = PQexec(m_conn, sql.constData());
        if (PQresultStatus(result) != PGRES_TUPLES_OK) {
            const QString message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
            PQclear(result);
            throw db::Error(message);
        }
        rows += PQntuples(result);
        for (int r = 0; r < PQntuples(result); ++r) {
            for (int c = 0; c < PQnfields(result); ++c)
                PQgetvalue(result, r, c);
        }
        PQclear(result);
    }
    return rows;
}

qint64 RawServer::report(const QString &path)
{
    const QByteArray name = path.toLocal8Bit();
    const QByteArray temporary = name + ".keszul";
    std::FILE *out = std::fopen(temporary.constData(), "wb");
    if (!out)
        return -1;
    if (!PQsendQuery(m_conn, "SELECT * FROM qjelentes") || !PQsetSingleRowMode(m_conn)) {
        std::fclose(out);
        return -1;
    }
    std::vector<char> buffer(bufferSize);
    size_t used = 0;
    bool written = true;
    const auto flush = [&] {
        written = written && std::fwrite(buffer.data(), 1, used, out) == used;
        used = 0;
    };
    used = size_t(put(buffer.data(), "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'>\r\n"
                                     "<rs:data>\r\n")
                  - buffer.data());
    bool failed = false;
    while (PGresult *row = PQgetResult(m_conn)) {
        if (PQresultStatus(row) == PGRES_SINGLE_TUPLE) {
            const size_t bound = rowBound(row);
            if (used + bound > buffer.size()) {
                flush();
                if (bound > buffer.size())
                    buffer.resize(bound);
            }
            used = size_t(putRow(buffer.data() + used, row) - buffer.data());
        } else if (PQresultStatus(row) != PGRES_TUPLES_OK) {
            failed = true;
        }
        PQclear(row);
    }
    if (used + 64 > buffer.size())
        flush();
    used = size_t(put(buffer.data() + used, "</rs:data>\r\n</xml>\r\n") - buffer.data());
    flush();
    const bool synced = written && syncFile(out);
    if (std::fclose(out) != 0 || failed || !synced
        || std::rename(temporary.constData(), name.constData()) != 0
        || !syncFolder(QFileInfo(path).absolutePath().toLocal8Bit().constData()))
        return -1;
    return QFileInfo(path).size();
}

} // namespace bench
