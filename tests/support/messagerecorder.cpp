#include "messagerecorder.h"

#include "ui/modal.h"

#include <QDialog>

namespace testsupport {

MessageRecorder::MessageRecorder()
{
    ui::setMessageHandler([this](ui::MessageKind kind, const QString &text) {
        m_messages.append({kind, text});
        if (m_hook)
            m_hook(m_messages.back());
    });
}

MessageRecorder::~MessageRecorder()
{
    ui::setMessageHandler({});
}

QStringList MessageRecorder::texts() const
{
    QStringList list;
    for (const Message &m : m_messages)
        list << m.text;
    return list;
}

ModalDriver::ModalDriver()
{
    ui::setModalHandler([this](QDialog *dialog) {
        m_shown << dialog->objectName();
        const auto it = m_handlers.constFind(dialog->objectName());
        if (it != m_handlers.constEnd())
            (*it)(dialog);
        else if (m_fallback)
            m_fallback(dialog);
    });
}

ModalDriver::~ModalDriver()
{
    ui::setModalHandler({});
}

void ModalDriver::on(const QString &objectName, Handler handler)
{
    m_handlers[objectName] = std::move(handler);
}

} // namespace testsupport
