#include "membersearch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace lists {

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

constexpr char separator = '\n';

// What one character of the first 2,048 folds to, made once from fold() itself so that the
// two can never disagree: white space, nothing (an accent), or up to three UTF-8 bytes.
struct FoldedCharacter
{
    enum Kind : quint8 { Bytes, Space, Dropped, Slow };
    Kind kind = Slow;
    quint8 size = 0;
    std::array<char, 3> bytes{};
};

const std::array<FoldedCharacter, 0x800> &foldTable()
{
    static const std::array<FoldedCharacter, 0x800> table = [] {
        std::array<FoldedCharacter, 0x800> made{};
        for (char16_t code = 0; code < 0x800; ++code) {
            FoldedCharacter &entry = made[code];
            const QChar c(code);
            if (c.isSpace()) {
                entry.kind = FoldedCharacter::Space;
                continue;
            }
            const QByteArray folded = MemberSearch::fold(QStringView(&code, 1)).toUtf8();
            if (folded.isEmpty()) {
                entry.kind = FoldedCharacter::Dropped;
            } else if (folded.size() <= 3 && !folded.contains(' ')) {
                entry.kind = FoldedCharacter::Bytes;
                entry.size = quint8(folded.size());
                std::memcpy(entry.bytes.data(), folded.constData(), size_t(folded.size()));
            }
        }
        return made;
    }();
    return table;
}

// The next character of the UTF-8 text at p as a code below 0x800; -1 for anything else
// (a longer sequence, or bytes that are no character).
int smallCharacter(const uchar *&p, const uchar *end)
{
    const uchar c = *p;
    if (c < 0x80) {
        ++p;
        return c;
    }
    if (c >= 0xC2 && c < 0xE0 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
        const int code = ((c & 0x1F) << 6) | (p[1] & 0x3F);
        p += 2;
        return code;
    }
    return -1;
}

} // namespace

QString MemberSearch::fold(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    bool blank = false;
    // Most names of a long list are plain ASCII after all: no decomposition needed then.
    const QString decomposed = isAscii(text)
                                   ? text.toString()
                                   : text.toString().normalized(QString::NormalizationForm_D);
    for (const QChar c : decomposed) {
        // The accents of á, é, ő, ű ... are marks of their own after decomposition.
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isSpace()) {
            blank = !folded.isEmpty();
            continue;
        }
        if (blank) {
            folded += u' ';
            blank = false;
        }
        folded += c.toCaseFolded();
    }
    return folded;
}

void MemberSearch::appendFolded(QByteArrayView utf8, std::string &into)
{
    const std::array<FoldedCharacter, 0x800> &table = foldTable();
    const size_t start = into.size();
    bool blank = false;
    const auto *p = reinterpret_cast<const uchar *>(utf8.data());
    const auto *const end = p + utf8.size();
    while (p != end) {
        const int code = smallCharacter(p, end);
        if (code >= 'A' && code <= 'Z') {
            if (blank)
                into += ' ';
            blank = false;
            into += char(code + ('a' - 'A'));
            continue;
        }
        const FoldedCharacter &folded = table[size_t(code < 0 ? 0 : code)];
        if (code < 0 || folded.kind == FoldedCharacter::Slow) {
            into.resize(start);
            into += fold(QString::fromUtf8(utf8)).toStdString();
            return;
        }
        if (folded.kind == FoldedCharacter::Dropped)
            continue;
        if (folded.kind == FoldedCharacter::Space) {
            blank = into.size() > start;
            continue;
        }
        if (blank)
            into += ' ';
        blank = false;
        into.append(folded.bytes.data(), folded.size);
    }
}

QString MemberSearch::tajDigits(QStringView query)
{
    QString digits;
    for (const QChar c : query) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
        else if (c != u'-' && !c.isSpace())
            return {};
    }
    return digits;
}

void MemberSearch::clear()
{
    m_names.clear();
    m_nameEnds.clear();
    m_tajs.clear();
    m_tajEnds.clear();
}

void MemberSearch::reserve(int rows, qsizetype nameBytes, qsizetype tajBytes)
{
    // Each key ends with its separator.
    m_names.reserve(size_t(nameBytes) + size_t(rows));
    m_tajs.reserve(size_t(tajBytes) + size_t(rows));
    m_nameEnds.reserve(size_t(rows));
    m_tajEnds.reserve(size_t(rows));
}

void MemberSearch::addRow(QByteArrayView nameUtf8, QByteArrayView tajUtf8)
{
    appendFolded(nameUtf8, m_names);
    m_names += separator;
    m_nameEnds.push_back(quint32(m_names.size()));
    for (const char c : tajUtf8) {
        if (c != '-')
            m_tajs += c;
    }
    m_tajs += separator;
    m_tajEnds.push_back(quint32(m_tajs.size()));
}

bool MemberSearch::isEmptyQuery(QStringView query)
{
    return query.trimmed().isEmpty();
}

void MemberSearch::mark(const std::string &keys, const std::vector<quint32> &ends,
                        const QByteArray &text, std::vector<char> &found)
{
    const std::string_view all(keys);
    const std::string_view wanted(text.constData(), size_t(text.size()));
    size_t from = 0;
    while (from < all.size()) {
        const size_t at = all.find(wanted, from);
        if (at == std::string_view::npos)
            return;
        // The key that holds the hit is the first to end after it; no hit crosses an end.
        const auto row = std::upper_bound(ends.begin(), ends.end(), quint32(at));
        if (row == ends.end())
            return;
        found[size_t(row - ends.begin())] = 1;
        from = *row;
    }
}

std::vector<int> MemberSearch::filter(QStringView query, const std::vector<int> &order) const
{
    if (isEmptyQuery(query))
        return order;
    std::vector<char> found(m_nameEnds.size(), 0);
    mark(m_names, m_nameEnds, fold(query).toUtf8(), found);
    const QString digits = tajDigits(query);
    if (!digits.isEmpty())
        mark(m_tajs, m_tajEnds, digits.toUtf8(), found);
    std::vector<int> rows;
    rows.reserve(order.size());
    for (const int row : order) {
        if (row >= 0 && size_t(row) < found.size() && found[size_t(row)])
            rows.push_back(row);
    }
    return rows;
}

} // namespace lists
