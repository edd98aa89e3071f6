#pragma once

#include "ui/dialog.h"

class QPushButton;

namespace lists {
class TajEdit;
}
namespace ui {
class MainHost;
}

// "TAJ keresése": asks for the TAJ number to find across all lists; OK stores it in the main
// window's aktTAJ and closes only when a TAJ was typed.
class TfrmTAJkeres : public ui::Dialog
{
    Q_OBJECT
public:
    TfrmTAJkeres(ui::MainHost &host, QWidget *parent = nullptr);

    void btnOKClick();

private:
    ui::MainHost &m_host;
    lists::TajEdit *eTaj;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
