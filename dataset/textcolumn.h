#pragma once

#include "chunkedarray.h"
#include "repeatedtexts.h"
#include "textarena.h"

#include <QByteArrayView>
#include <QString>

namespace db {

// The texts of one column, row by row, as UTF-8. A column starts by sharing repeated values
// (a number per row into its distinct texts); once its values keep differing it moves every
// text into one arena instead, where a row costs only where its text ends.
class TextColumn
{
public:
    // Sets the text of the row; rows skipped before it read as empty.
    void set(int row, const char *utf8, qsizetype bytes);
    QByteArrayView bytes(int row) const;
    QString text(int row) const;
    bool isShared() const { return m_shared; }
    void clear();

private:
    static constexpr quint16 noText = 0xFFFF;
    void moveToArena();
    void fillArena(int rows);

    bool m_shared = true;
    int m_sharedTexts = 0; // texts set while shared
    RepeatedTexts m_distinct;
    ChunkedArray<quint16> m_numbers; // while shared
    TextArena m_arena;
    ChunkedArray<quint32> m_ends; // once in the arena
};

} // namespace db
