#pragma once

#include <QRect>
#include <QSize>

namespace ui {

// Where the help window goes so that it covers none of the window it explains: to the right
// of it, else to the left, else on the wider side (at least minimumWidth wide, overlapping as
// little as it can), always within the desktop. All rectangles are frame rectangles.
QRect helpPlacement(const QRect &explained, const QRect &desktop, QSize preferred,
                    int minimumWidth);

} // namespace ui
