#pragma once

// The raw report loops' own formatting of a report row, shared by the file's and the server's:
// plain byte copies into a line buffer, wrapped where the program's writer wraps its lines, so
// that their files are byte-identical to the program's report.

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace bench::rawrow {

constexpr const char *names[] = {"INTKOD",   "FINKOD",    "BEAVTIP_KOD", "LISTARA_DATUM",
                                 "HIV_SZAM", "SURGOSSEG", "ESEM_KOD",    "ESEM_DATUM"};
constexpr bool isDate[] = {false, false, false, true, false, false, false, true};
constexpr int columnCount = 8;
constexpr int lineWidth = 107;
constexpr size_t bufferSize = size_t(1) << 16;
// The longest reference an escaped byte can become.
constexpr size_t widestEscape = 6;

inline char *put(char *out, const char *text)
{
    // Into the middle of the line buffer: no terminator wanted.
    return std::copy_n(text, std::strlen(text), out);
}

inline char *putEscaped(char *out, const char *text, int bytes)
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
            *out++ = text[i];
        }
    }
    return out;
}

// The start of a row: "<z:row", where its line begins.
inline char *beginRow(char *out, const char *&lineStart)
{
    out = put(out, "\t<z:row");
    lineStart = out - 6;
    return out;
}

// The name of the column's attribute up to its opening quote, on a new line when the line is
// full (never before the row's first attribute).
inline char *beginAttribute(char *out, int column, const char *&lineStart, bool &first)
{
    if (!first && out - lineStart >= lineWidth) {
        out = put(out, "\r\n\t\t");
        lineStart = out;
    }
    first = false;
    *out++ = ' ';
    out = put(out, names[column]);
    *out++ = '=';
    *out++ = '\'';
    return out;
}

// A stored text value: days as YYYY-MM-DDTHH:MM:SS, any other text escaped.
inline char *putText(char *out, int column, const char *text, int bytes)
{
    if (!isDate[column] || bytes < 10)
        return putEscaped(out, text, bytes);
    out = std::copy_n(text, 10, out);
    if (bytes < 19)
        return put(out, "T00:00:00");
    *out++ = 'T';
    return std::copy_n(text + 11, 8, out);
}

inline char *endRow(char *out)
{
    return put(out, "/>\r\n");
}

} // namespace bench::rawrow
