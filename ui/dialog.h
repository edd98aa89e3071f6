#pragma once

#include <QDialog>

#include <functional>

class QAbstractButton;

namespace ui {

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

// The base of every dialog: buttons that carry a modal result set it before their handler
// runs and ask to close when the handler returns with it still set; closeQuery() decides
// every close request (buttons, Esc, the close box, Alt+F4), and a refused close clears the
// modal result. Enter on a focused button presses it; elsewhere Enter presses the default
// button, or nothing when there is none (Qt's auto-default is switched off). Esc presses the
// cancel button. The first control in tab order has the focus when the dialog opens.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog(QWidget *parent = nullptr);

    // Registers a button; its handler runs inside the error guard.
    void addButton(QAbstractButton *button, int modalResult, std::function<void()> handler = {});
    void setDefaultButton(QAbstractButton *button) { m_defaultButton = button; }
    void setCancelButton(QAbstractButton *button) { m_cancelButton = button; }
    QAbstractButton *cancelButton() const { return m_cancelButton; }

    int modalResult() const { return m_modalResult; }
    // Setting a result from a handler asks to close when the handler returns.
    void setModalResult(int result) { m_modalResult = result; }

    void done(int result) override;
    void reject() override;
    void accept() override;

protected:
    // FormCloseQuery: whether a close request may proceed. Grants every close by default.
    virtual bool closeQuery() { return true; }

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QAbstractButton *m_defaultButton = nullptr;
    QAbstractButton *m_cancelButton = nullptr;
    int m_modalResult = mrNone;
};

} // namespace ui
