#pragma once

#include "ui/dialog.h"

class QPushButton;

namespace ui {
class DataSource;
class DbGrid;
} // namespace ui

// "Lista Választása": the list chooser over whatever dataset the data source is bound to
// (the list summary, or the lists a TAJ search found). OK takes the dataset's current row,
// which the grid's selection moves.
class TfrmListaValaszto : public ui::Dialog
{
    Q_OBJECT
public:
    TfrmListaValaszto(ui::DataSource &dsListaDb, QWidget *parent = nullptr);

private:
    ui::DbGrid *DBGrid1;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
