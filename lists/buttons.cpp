#include "buttons.h"

#include <QIcon>
#include <QPushButton>

namespace lists {

QPushButton *namedButton(QWidget *parent, const char *name, const QString &caption,
                         const char *picture)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    if (picture)
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(picture))));
    return button;
}

} // namespace lists
