#include "rawreport.h"

#include "benchplatform.h"
#include "rawrow.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

namespace bench {

namespace {

using namespace rawrow;

// One z:row into the buffer at out.
char *putRow(char *out, sqlite3_stmt *stmt)
{
    const char *lineStart = nullptr;
    out = beginRow(out, lineStart);
    bool first = true;
    for (int c = 0; c < columnCount; ++c) {
        const int type = sqlite3_column_type(stmt, c);
        if (type == SQLITE_NULL)
            continue;
        out = beginAttribute(out, c, lineStart, first);
        if (type == SQLITE_INTEGER)
            out = std::to_chars(out, out + 24, sqlite3_column_int64(stmt, c)).ptr;
        else
            out = putText(out, c, reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                          sqlite3_column_bytes(stmt, c));
        *out++ = '\'';
    }
    return endRow(out);
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
