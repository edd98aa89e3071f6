#include "repeatedtexts.h"

namespace db {

int RepeatedTexts::add(const char *utf8, qsizetype bytes)
{
    const std::string_view key(utf8, size_t(bytes));
    const auto found = m_index.find(key);
    if (found != m_index.end())
        return found->second;
    if (size() >= capacity)
        return -1;
    const std::string &kept = m_bytes.emplace_back(key);
    m_texts.push_back(QString::fromUtf8(kept.data(), qsizetype(kept.size())));
    const int index = size() - 1;
    m_index.emplace(std::string_view(kept), index);
    return index;
}

QByteArrayView RepeatedTexts::bytes(int index) const
{
    const std::string &kept = m_bytes[size_t(index)];
    return {kept.data(), qsizetype(kept.size())};
}

void RepeatedTexts::clear()
{
    m_index.clear();
    m_texts.clear();
    m_bytes.clear();
}

} // namespace db
