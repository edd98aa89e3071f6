#pragma once

#include "ui/messages.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;

namespace testsupport {

// Answers every message box of the program while it lives and keeps what was shown.
class MessageRecorder
{
public:
    struct Message
    {
        ui::MessageKind kind;
        QString text;
    };

    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const QList<Message> &messages() const { return m_messages; }
    QStringList texts() const;
    QString last() const { return m_messages.isEmpty() ? QString() : m_messages.back().text; }
    int count() const { return int(m_messages.size()); }
    void clear() { m_messages.clear(); }
    // Runs at the moment a message is shown (for instance to see what is locked then).
    void onMessage(std::function<void(const Message &)> hook) { m_hook = std::move(hook); }

private:
    QList<Message> m_messages;
    std::function<void(const Message &)> m_hook;
};

// Drives every modal window shown while it lives: each window is passed to the handler of
// its objectName (or to the fallback), inside its own modal loop.
class ModalDriver
{
public:
    using Handler = std::function<void(QDialog *)>;
    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver &) = delete;
    ModalDriver &operator=(const ModalDriver &) = delete;

    void on(const QString &objectName, Handler handler);
    void fallback(Handler handler) { m_fallback = std::move(handler); }
    // The objectNames of the windows shown, in order.
    const QStringList &shown() const { return m_shown; }

private:
    QHash<QString, Handler> m_handlers;
    Handler m_fallback;
    QStringList m_shown;
};

} // namespace testsupport
