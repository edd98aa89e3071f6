#include "helpplacement.h"

#include <algorithm>

namespace ui {

QRect helpPlacement(const QRect &explained, const QRect &desktop, QSize preferred, int minimumWidth)
{
    const int height = std::min(preferred.height(), desktop.height());
    const int top = std::clamp(explained.top(), desktop.top(), desktop.bottom() + 1 - height);
    const int rightRoom = desktop.right() - explained.right();
    const int leftRoom = explained.left() - desktop.left();
    if (rightRoom >= preferred.width())
        return {explained.right() + 1, top, preferred.width(), height};
    if (leftRoom >= preferred.width())
        return {explained.left() - preferred.width(), top, preferred.width(), height};
    const bool right = rightRoom >= leftRoom;
    const int width = std::min(std::max(right ? rightRoom : leftRoom, minimumWidth),
                               std::min(preferred.width(), desktop.width()));
    const int left = right ? std::min(explained.right() + 1, desktop.right() + 1 - width)
                           : std::max(explained.left() - width, desktop.left());
    return {left, top, width, height};
}

} // namespace ui
