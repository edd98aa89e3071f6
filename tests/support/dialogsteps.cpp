#include "dialogsteps.h"

#include "typing.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace testsupport {

void press(QDialog *dialog, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

void typeNewMember(QDialog *dialog, const QString &taj, const QString &name)
{
    auto *tajEdit = child<QLineEdit>(dialog, QStringLiteral("eTaj"));
    tajEdit->setFocus();
    tajEdit->setCursorPosition(0);
    QTest::keyClicks(tajEdit, taj);
    typeText(child<QLineEdit>(dialog, QStringLiteral("eNev")), name);
    QTest::mouseClick(child<QRadioButton>(dialog, QStringLiteral("rgSurgos1")), Qt::LeftButton);
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
