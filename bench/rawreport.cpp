#include "rawreport.h"

#include "benchplatform.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <cstdio>
#include <cstring>

namespace bench {

namespace {

constexpr const char *names[] = {"INTKOD",   "FINKOD",    "BEAVTIP_KOD", "LISTARA_DATUM",
                                 "HIV_SZAM", "SURGOSSEG", "ESEM_KOD",    "ESEM_DATUM"};
constexpr bool isDate[] = {false, false, false, true, false, false, false, true};
constexpr int lineWidth = 107;

void putEscaped(std::FILE *out, const unsigned char *text, int bytes)
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

qint64 rawReport(sqlite3 *handle, const QString &path)
{
    const QByteArray name = path.toLocal8Bit();
    const QByteArray temporary = name + ".keszul";
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle, "SELECT * FROM QJELENTES", -1, &stmt, nullptr) != SQLITE_OK)
        return -1;
    std::FILE *out = std::fopen(temporary.constData(), "wb");
    if (!out) {
        sqlite3_finalize(stmt);
        return -1;
    }
    std::fputs("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'>\r\n<rs:data>\r\n", out);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        long lineStart = std::ftell(out);
        std::fputs("\t<z:row", out);
        for (int c = 0; c < 8; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL)
                continue;
            if (std::ftell(out) - lineStart >= lineWidth) {
                std::fputs("\r\n\t\t", out);
                lineStart = std::ftell(out);
            }
            std::fprintf(out, " %s='", names[c]);
            if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
                std::fprintf(out, "%lld", sqlite3_column_int64(stmt, c));
            } else {
                const unsigned char *text = sqlite3_column_text(stmt, c);
                const int bytes = sqlite3_column_bytes(stmt, c);
                if (isDate[c] && bytes >= 10) {
                    std::fwrite(text, 1, 10, out);
                    if (bytes >= 19)
                        std::fprintf(out, "T%.8s", reinterpret_cast<const char *>(text) + 11);
                    else
                        std::fputs("T00:00:00", out);
                } else {
                    putEscaped(out, text, bytes);
                }
            }
            std::putc('\'', out);
        }
        std::fputs("/>\r\n", out);
    }
    sqlite3_finalize(stmt);
    std::fputs("</rs:data>\r\n</xml>\r\n", out);
    const bool synced = syncFile(out);
    if (std::fclose(out) != 0 || !synced
        || std::rename(temporary.constData(), name.constData()) != 0
        || !syncFolder(QFileInfo(path).absolutePath().toLocal8Bit().constData()))
        return -1;
    return QFileInfo(path).size();
}

} // namespace bench
