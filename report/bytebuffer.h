#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <cstring>
#include <vector>

namespace report {

// The bytes of a report file on their way to the device. A report appends a few bytes at a
// time, some thirty times a row for a million rows, so an append is a length check and a
// copy, written out here where the compiler can see it.
class ByteBuffer
{
public:
    qsizetype size() const { return m_size; }
    const char *data() const { return m_bytes.data(); }
    char at(qsizetype index) const { return m_bytes[size_t(index)]; }

    void reserve(qsizetype bytes)
    {
        if (size_t(bytes) > m_bytes.size())
            m_bytes.resize(size_t(bytes));
    }
    // Only ever shrinks: back to a row's start, or empty after a flush.
    void truncate(qsizetype bytes) { m_size = qMin(bytes, m_size); }

    ByteBuffer &append(char c)
    {
        if (size_t(m_size) == m_bytes.size())
            grow(1);
        m_bytes[size_t(m_size++)] = c;
        return *this;
    }
    ByteBuffer &append(const char *bytes, qsizetype length)
    {
        if (size_t(m_size + length) > m_bytes.size())
            grow(length);
        if (length > 0)
            std::memcpy(m_bytes.data() + m_size, bytes, size_t(length));
        m_size += length;
        return *this;
    }
    ByteBuffer &append(QByteArrayView bytes) { return append(bytes.data(), bytes.size()); }
    template<qsizetype N> ByteBuffer &append(const char (&literal)[N])
    {
        return append(literal, N - 1);
    }

private:
    void grow(qsizetype more) { m_bytes.resize(qMax(m_bytes.size() * 2, size_t(m_size + more))); }

    std::vector<char> m_bytes; // its size is the capacity; the bytes in use are m_size
    qsizetype m_size = 0;
};

} // namespace report
