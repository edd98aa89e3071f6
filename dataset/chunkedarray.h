#pragma once

#include <memory>
#include <vector>

namespace db {

// A growing array of plain values kept in fixed chunks: growing never copies what is already
// there, so a column of a big list never holds its old and new buffer at once, and at most one
// chunk stands half empty.
template<typename T> class ChunkedArray
{
public:
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    void append(T value)
    {
        if ((m_size & mask) == 0)
            m_chunks.push_back(std::make_unique_for_overwrite<T[]>(size_t(chunkSize)));
        m_chunks.back()[size_t(m_size & mask)] = value;
        ++m_size;
    }
    // Appends the filler until the array holds count values.
    void fill(int count, T filler)
    {
        while (m_size < count)
            append(filler);
    }

    T at(int index) const { return m_chunks[size_t(index >> shift)][size_t(index & mask)]; }
    T &at(int index) { return m_chunks[size_t(index >> shift)][size_t(index & mask)]; }

    void clear()
    {
        m_chunks.clear();
        m_size = 0;
    }

private:
    static constexpr int shift = 12;
    static constexpr int chunkSize = 1 << shift;
    static constexpr int mask = chunkSize - 1;
    std::vector<std::unique_ptr<T[]>> m_chunks;
    int m_size = 0;
};

} // namespace db
