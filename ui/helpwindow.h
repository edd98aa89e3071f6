#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace ui {

// The help, readable beside the window that asked for it: it scrolls, finds, goes back and
// prints while a modal dialog stays open, and Esc closes only the help. It belongs to the
// modal dialog that is open (the one window Qt lets a modal dialog share its input with), and
// passes to the next one when that dialog closes.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    HelpWindow();

    // Shows the help file at the section of context (the beginning for 0) beside the window
    // explained, in front of it.
    void showSection(const QString &file, int context, QWidget *explained);

    // Finds the next occurrence of the search box's text, from the top again after the last.
    void findNext();
    void print();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void belongTo(QWidget *modal);
    void placeBeside(const QWidget *explained);

    QTextBrowser *m_browser;
    QLineEdit *m_find;
    QLabel *m_findResult;
    QPushButton *m_back;
    QPushButton *m_forward;
    QPushButton *m_findNext;
    QPushButton *m_print;
    QPushButton *m_close;
};

} // namespace ui
