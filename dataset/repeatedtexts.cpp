#include "repeatedtexts.h"

#include "db/values.h"

namespace db {

int RepeatedTexts::add(const char *utf8, qsizetype bytes)
{
    const std::string_view key(utf8, size_t(bytes));
    // Neighbouring rows often hold the same code: that costs a compare, not a hash.
    if (m_last >= 0 && m_bytes[size_t(m_last)] == key)
        return m_last;
    const auto found = m_index.find(key);
    if (found != m_index.end()) {
        m_last = found->second;
        return m_last;
    }
    if (size() >= capacity)
        return -1;
    const std::string &kept = m_bytes.emplace_back(key);
    m_texts.push_back(kept.empty()
                          ? QString::fromUtf8("", 0)
                          : storedText(QByteArrayView(kept.data(), qsizetype(kept.size()))));
    const int index = size() - 1;
    m_index.emplace(std::string_view(kept), index);
    m_last = index;
    return index;
}

QByteArrayView RepeatedTexts::bytes(int index) const
{
    const std::string &kept = m_bytes[size_t(index)];
    return {kept.data(), qsizetype(kept.size())};
}

void RepeatedTexts::clear()
{
    m_last = -1;
    m_index.clear();
    m_texts.clear();
    m_bytes.clear();
}

} // namespace db
