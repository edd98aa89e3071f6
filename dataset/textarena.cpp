#include "textarena.h"

#include "db/error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace db {

namespace {
// Blocks start small, for the many datasets of a row or two, and grow to this size.
constexpr qsizetype firstBlock = qsizetype(4) * 1024;
constexpr qsizetype biggestBlock = qsizetype(256) * 1024;
} // namespace

quint32 TextArena::append(const char *bytes, qsizetype count)
{
    if (count <= 0)
        return end();
    if (m_used + quint64(count) > std::numeric_limits<quint32>::max())
        throw Error(QStringLiteral("Az adathalmaz szövegei nem férnek el a memóriában"));
    if (m_blocks.empty() || m_blocks.back().used + count > m_blocks.back().capacity) {
        Block block;
        const qsizetype next
            = m_blocks.empty() ? firstBlock : std::min(m_blocks.back().capacity * 2, biggestBlock);
        block.capacity = std::max(next, count);
        block.data = std::make_unique_for_overwrite<char[]>(size_t(block.capacity));
        block.start = m_used;
        m_blocks.push_back(std::move(block));
    }
    Block &block = m_blocks.back();
    std::memcpy(block.data.get() + block.used, bytes, size_t(count));
    block.used += count;
    m_used += quint64(count);
    return end();
}

QByteArrayView TextArena::bytes(quint32 begin, quint32 end) const
{
    if (end <= begin || m_blocks.empty())
        return {};
    // The last block that starts at or before the text's first byte holds the whole text.
    const auto after
        = std::upper_bound(m_blocks.begin(), m_blocks.end(), quint64(begin),
                           [](quint64 offset, const Block &block) { return offset < block.start; });
    const Block &block = *(after - 1);
    return {block.data.get() + (begin - block.start), qsizetype(end - begin)};
}

void TextArena::clear()
{
    m_blocks.clear();
    m_used = 0;
}

} // namespace db
