#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace db {

// The distinct texts of a column that repeats a few values down many rows (codes, event names,
// urgency): each is kept once, and a row holds only its number here.
class RepeatedTexts
{
public:
    static constexpr int capacity = 0xFFFF;

    int size() const { return int(m_bytes.size()); }
    // The number of the text, added when new; -1 once capacity texts are kept.
    int add(const char *utf8, qsizetype bytes);
    QByteArrayView bytes(int index) const;
    // Shared, so that reading a repeated text costs no copy.
    const QString &text(int index) const { return m_texts[size_t(index)]; }
    void clear();

private:
    std::deque<std::string> m_bytes; // a deque never moves its elements, so the keys stay valid
    std::vector<QString> m_texts;
    std::unordered_map<std::string_view, int> m_index;
    int m_last = -1; // the text added or found last
};

} // namespace db
