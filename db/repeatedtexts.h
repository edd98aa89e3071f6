#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>

namespace db {

// Short texts that repeat down a column (codes, event names, urgency) are shared instead of
// allocated once per row; a column whose values keep differing stops being looked up.
class RepeatedTexts
{
public:
    QString text(const char *utf8, int bytes)
    {
        if (m_active && bytes <= maxBytes) {
            for (int i = 0; i < m_size; ++i) {
                if (m_keys[i].size() == bytes
                    && std::memcmp(m_keys[i].constData(), utf8, size_t(bytes)) == 0)
                    return m_values[i];
            }
        }
        QString value = QString::fromUtf8(utf8, bytes);
        if (m_active && bytes <= maxBytes) {
            if (m_size < capacity) {
                m_keys[m_size] = QByteArray(utf8, bytes);
                m_values[m_size] = value;
                ++m_size;
            } else if (++m_misses > capacity * 4) {
                m_active = false;
            }
        }
        return value;
    }

private:
    static constexpr int capacity = 16;
    static constexpr int maxBytes = 160;
    QByteArray m_keys[capacity];
    QString m_values[capacity];
    int m_size = 0;
    int m_misses = 0;
    bool m_active = true;
};

} // namespace db
