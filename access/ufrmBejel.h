#pragma once

#include "ui/dialog.h"

class QLineEdit;
class QPushButton;

namespace ui {
class LoginHost;
}

// The entry password check at every start after the first, against the department row.
class TfrmBejel : public ui::Dialog
{
    Q_OBJECT
public:
    explicit TfrmBejel(ui::LoginHost &host, QWidget *parent = nullptr);

protected:
    // FormCloseQuery
    bool closeQuery() override { return m_mayClose; }

private:
    void btnOKClick();
    void btnCancelClick();

    ui::LoginHost &m_host;
    bool m_mayClose = false;

    QLineEdit *ePassword;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
