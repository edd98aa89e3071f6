#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace lists {

// A button of the list windows: its component name, its caption (also its accessible name)
// and its picture from the program's resources (":/icons/<picture>.svg").
QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption,
                         const char *picture = nullptr);

} // namespace lists
