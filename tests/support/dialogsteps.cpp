#include "dialogsteps.h"

#include "typing.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>

namespace testsupport {

void press(QDialog *dialog, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

void onListManager(ModalDriver &driver, const ModalDriver::Handler &steps)
{
    driver.on(QStringLiteral("frmListakezelo"), [steps](QDialog *d) {
        steps(d);
        if (d->isVisible())
            press(d, QStringLiteral("bbOK"));
    });
}

} // namespace testsupport
