#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace db {

// The bytes of many texts kept once, one after another, in a few big blocks. A text is found
// by its place: the texts of a column lie end to end, so a row needs only where its text ends.
// No text is split between blocks, and a block is never moved once made.
class TextArena
{
public:
    // Appends the bytes and returns where they end; throws db::Error past 4 GB.
    quint32 append(const char *bytes, qsizetype count);
    quint32 end() const { return quint32(m_used); }
    // The bytes from begin to end, as appended (valid while the arena lives).
    QByteArrayView bytes(quint32 begin, quint32 end) const;
    void clear();

private:
    struct Block
    {
        std::unique_ptr<char[]> data;
        quint64 start = 0; // where its first byte lies among all the texts
        qsizetype capacity = 0;
        qsizetype used = 0;
    };
    std::vector<Block> m_blocks;
    quint64 m_used = 0;
};

} // namespace db
