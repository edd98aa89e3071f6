#pragma once

#include "rules/department.h"

#include "ui/dialog.h"

class QFrame;
class QLineEdit;
class QPushButton;

namespace ui {
class LoginHost;
class RadioGroup;
} // namespace ui

// The first start's registration of the department: its codes, name, type and entry
// password, written as the one OSZTALY row.
class TfrmOsztaly : public ui::Dialog
{
    Q_OBJECT
public:
    explicit TfrmOsztaly(ui::LoginHost &host, QWidget *parent = nullptr);

protected:
    // FormCloseQuery
    bool closeQuery() override { return m_mayClose; }

private:
    void BitBtn1Click();
    void BitBtn2Click();

    rules::DepartmentInput input() const;
    void focusField(rules::DepartmentField field);

    ui::LoginHost &m_host;
    bool m_mayClose = false;

    QLineEdit *eDORVKod;
    QLineEdit *eFinKod;
    QLineEdit *eOsztNev;
    ui::RadioGroup *rgOsztTipus;
    QLineEdit *eJelszo;
    QLineEdit *eJelszoUjra;
    QFrame *Panel1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
};
