#include "messages.h"

#include "controls.h"
#include "modal.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace ui {

namespace {
MessageHandler &handler()
{
    static MessageHandler h;
    return h;
}

void showBox(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::NoButton, parent);
    box.setObjectName(icon == QMessageBox::NoIcon ? QStringLiteral("uzenet")
                                                  : QStringLiteral("hibauzenet"));
    QPushButton *ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.setAccessibleName(applicationTitle());
    box.setWindowModality(Qt::ApplicationModal);
    keepTitleInSight(&box);
    execModal(&box);
}
} // namespace

QString applicationTitle()
{
    return QStringLiteral("Várólista Jelentő program");
}

QString errorDisplayText(const QString &errorMessage)
{
    if (!errorMessage.isEmpty() && errorMessage.back() > u'.')
        return errorMessage + u'.';
    return errorMessage;
}

void showMessage(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()(MessageKind::Plain, text);
        return;
    }
    showBox(parent, QMessageBox::NoIcon, text);
}

void showError(QWidget *parent, const QString &errorMessage)
{
    const QString text = errorDisplayText(errorMessage);
    if (handler()) {
        handler()(MessageKind::Error, text);
        return;
    }
    showBox(parent, QMessageBox::Critical, text);
}

void setMessageHandler(MessageHandler h)
{
    handler() = std::move(h);
}

} // namespace ui
