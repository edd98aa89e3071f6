#include "rawserver.h"

#include "benchplatform.h"

#include "db/error.h"

#include <QFileInfo>

#include <libpq-fe.h>

#include <cstdio>

namespace bench {

namespace {

constexpr const char *names[] = {"INTKOD",   "FINKOD",    "BEAVTIP_KOD", "LISTARA_DATUM",
                                 "HIV_SZAM", "SURGOSSEG", "ESEM_KOD",    "ESEM_DATUM"};
constexpr bool isDate[] = {false, false, false, true, false, false, false, true};
constexpr int lineWidth = 107;

void putEscaped(std::FILE *out, const char *text, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        switch (text[i]) {
        case '\'':
            std::fputs("&#x27;", out);
            break;
        case '&':
            std::fputs("&amp;", out);
            break;
        case '<':
            std::fputs("&lt;", out);
            break;
        case '>':
            std::fputs("&gt;", out);
            break;
        case '"':
            std::fputs("&quot;", out);
            break;
        default:
            std::putc(text[i], out);
        }
    }
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

double RawServer::listMembers(const QString &adaptedMemberQuery, int list)
{
    const QByteArray sql = adaptedMemberQuery.toUtf8();
    const QByteArray value = QByteArray::number(list);
    const char *values[] = {value.constData()};
    PGresult *result
        = PQexecParams(m_conn, sql.constData(), 1, nullptr, values, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        const QString message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        PQclear(result);
        throw db::Error(message);
    }
    double bytes = 0;
    const int rows = PQntuples(result);
    const int columns = PQnfields(result);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (!PQgetisnull(result, r, c))
                bytes += PQgetlength(result, r, c);
        }
    }
    PQclear(result);
    return bytes;
}

double RawServer::tajSearches(const QStringList &adaptedTexts)
{
    double rows = 0;
    for (const QString &text : adaptedTexts) {
        PGresult *result = PQexec(m_conn, text.toUtf8().constData());
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
    std::fputs("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'>\r\n<rs:data>\r\n", out);
    bool failed = false;
    while (PGresult *result = PQgetResult(m_conn)) {
        if (PQresultStatus(result) != PGRES_SINGLE_TUPLE) {
            failed = failed || PQresultStatus(result) != PGRES_TUPLES_OK;
            PQclear(result);
            continue;
        }
        long lineStart = std::ftell(out);
        std::fputs("\t<z:row", out);
        for (int c = 0; c < 8; ++c) {
            if (PQgetisnull(result, 0, c))
                continue;
            if (std::ftell(out) - lineStart >= lineWidth) {
                std::fputs("\r\n\t\t", out);
                lineStart = std::ftell(out);
            }
            std::fprintf(out, " %s='", names[c]);
            const char *text = PQgetvalue(result, 0, c);
            const int bytes = PQgetlength(result, 0, c);
            if (isDate[c] && bytes >= 10) {
                std::fwrite(text, 1, 10, out);
                if (bytes >= 19)
                    std::fprintf(out, "T%.8s", text + 11);
                else
                    std::fputs("T00:00:00", out);
            } else {
                putEscaped(out, text, bytes);
            }
            std::putc('\'', out);
        }
        std::fputs("/>\r\n", out);
        PQclear(result);
    }
    std::fputs("</rs:data>\r\n</xml>\r\n", out);
    const bool synced = syncFile(out);
    if (std::fclose(out) != 0 || failed || !synced
        || std::rename(temporary.constData(), name.constData()) != 0
        || !syncFolder(QFileInfo(path).absolutePath().toLocal8Bit().constData()))
        return -1;
    return QFileInfo(path).size();
}

} // namespace bench
