#include "textcolumn.h"

#include "db/values.h"

namespace db {

namespace {
// A column is worth sharing while at most every second text is new; the first distinct texts
// are always shared, since the first rows of any column bring mostly new ones.
constexpr int alwaysShared = 1024;
} // namespace

void TextColumn::set(int row, const char *utf8, qsizetype bytes)
{
    if (m_shared) {
        const int known = m_distinct.size();
        const int number = m_distinct.add(utf8, bytes);
        const bool added = m_distinct.size() > known;
        ++m_sharedTexts;
        if (number >= 0 && !(added && known >= alwaysShared && known * 2 > m_sharedTexts)) {
            m_numbers.fill(row, noText);
            m_numbers.append(quint16(number));
            return;
        }
        moveToArena();
    }
    fillArena(row);
    m_ends.append(m_arena.append(utf8, bytes));
}

void TextColumn::fillArena(int rows)
{
    while (m_ends.size() < rows)
        m_ends.append(m_arena.end());
}

void TextColumn::moveToArena()
{
    for (int row = 0; row < m_numbers.size(); ++row) {
        const quint16 number = m_numbers.at(row);
        const QByteArrayView kept = number == noText ? QByteArrayView() : m_distinct.bytes(number);
        m_ends.append(m_arena.append(kept.data(), kept.size()));
    }
    m_numbers.clear();
    m_distinct.clear();
    m_shared = false;
}

QByteArrayView TextColumn::bytes(int row) const
{
    if (m_shared) {
        if (row >= m_numbers.size() || m_numbers.at(row) == noText)
            return {};
        return m_distinct.bytes(m_numbers.at(row));
    }
    if (row >= m_ends.size())
        return {};
    return m_arena.bytes(row == 0 ? 0 : m_ends.at(row - 1), m_ends.at(row));
}

QString TextColumn::text(int row) const
{
    if (m_shared) {
        if (row >= m_numbers.size() || m_numbers.at(row) == noText)
            return {};
        return m_distinct.text(m_numbers.at(row));
    }
    const QByteArrayView utf8 = bytes(row);
    // An empty text stays a text: not the null string that no bytes would make.
    return utf8.isEmpty() ? QString::fromUtf8("", 0) : storedText(utf8);
}

void TextColumn::clear()
{
    m_shared = true;
    m_sharedTexts = 0;
    m_distinct.clear();
    m_numbers.clear();
    m_arena.clear();
    m_ends.clear();
}

} // namespace db
