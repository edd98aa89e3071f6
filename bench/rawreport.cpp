#include "rawreport.h"

#include "benchplatform.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace bench {

namespace {

constexpr const char *names[] = {"INTKOD",   "FINKOD",    "BEAVTIP_KOD", "LISTARA_DATUM",
                                 "HIV_SZAM", "SURGOSSEG", "ESEM_KOD",    "ESEM_DATUM"};
constexpr bool isDate[] = {false, false, false, true, false, false, false, true};
constexpr int columnCount = 8;
constexpr int lineWidth = 107;
constexpr size_t bufferSize = size_t(1) << 16;
// The longest reference an escaped byte can become.
constexpr size_t widestEscape = 6;

char *put(char *out, const char *text)
{
    return std::copy(text, text + std::strlen(text), out);
}

char *putEscaped(char *out, const unsigned char *text, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        switch (text[i]) {
        case '\'':
            out = put(out, "&#x27;");
            break;
        case '&':
            out = put(out, "&amp;");
            break;
        case '<':
            out = put(out, "&lt;");
            break;
        case '>':
            out = put(out, "&gt;");
            break;
        case '"':
            out = put(out, "&quot;");
            break;
        default:
            *out++ = char(text[i]);
        }
    }
    return out;
}

// One z:row into the buffer at out, wrapped where the program's writer wraps its lines.
char *putRow(char *out, sqlite3_stmt *stmt)
{
    out = put(out, "\t<z:row");
    const char *lineStart = out - 6;
    bool first = true;
    for (int c = 0; c < columnCount; ++c) {
        const int type = sqlite3_column_type(stmt, c);
        if (type == SQLITE_NULL)
            continue;
        if (!first && out - lineStart >= lineWidth) {
            out = put(out, "\r\n\t\t");
            lineStart = out;
        }
        first = false;
        *out++ = ' ';
        out = put(out, names[c]);
        *out++ = '=';
        *out++ = '\'';
        if (type == SQLITE_INTEGER) {
            out = std::to_chars(out, out + 24, sqlite3_column_int64(stmt, c)).ptr;
        } else {
            const unsigned char *text = sqlite3_column_text(stmt, c);
            const int bytes = sqlite3_column_bytes(stmt, c);
            if (isDate[c] && bytes >= 10) {
                std::memcpy(out, text, 10);
                out += 10;
                if (bytes >= 19) {
                    *out++ = 'T';
                    std::memcpy(out, text + 11, 8);
                    out += 8;
                } else {
                    out = put(out, "T00:00:00");
                }
            } else {
                out = putEscaped(out, text, bytes);
            }
        }
        *out++ = '\'';
    }
    return put(out, "/>\r\n");
}

// The most bytes a row can take: its names, marks and line breaks, and every value escaped.
size_t rowBound(sqlite3_stmt *stmt)
{
    size_t bound = 256;
    for (int c = 0; c < columnCount; ++c)
        bound += size_t(sqlite3_column_bytes(stmt, c)) * widestEscape + 32;
    return bound;
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
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const size_t bound = rowBound(stmt);
        if (used + bound > buffer.size()) {
            flush();
            if (bound > buffer.size())
                buffer.resize(bound);
        }
        used = size_t(putRow(buffer.data() + used, stmt) - buffer.data());
    }
    sqlite3_finalize(stmt);
    if (used + 64 > buffer.size())
        flush();
    used = size_t(put(buffer.data() + used, "</rs:data>\r\n</xml>\r\n") - buffer.data());
    flush();
    const bool synced = written && syncFile(out);
    if (std::fclose(out) != 0 || !synced
        || std::rename(temporary.constData(), name.constData()) != 0
        || !syncFolder(QFileInfo(path).absolutePath().toLocal8Bit().constData()))
        return -1;
    return QFileInfo(path).size();
}

} // namespace bench
