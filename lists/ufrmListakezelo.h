#pragma once

#include "db/dataset.h"
#include "ui/datasetmodel.h"
#include "ui/datasource.h"
#include "ui/dialog.h"

class QPushButton;

namespace ui {
class DbGrid;
class MainHost;
} // namespace ui

// "Listakezelő": the members of the current list, oldest entry first, with the two actions
// that open the member dialog (a new member, or an event for the selected one).
class TfrmListakezelo : public ui::Dialog
{
    Q_OBJECT
public:
    TfrmListakezelo(ui::MainHost &host, QWidget *parent = nullptr);

    // The member query; the member dialog looks a TAJ up in it and reads the old event of its
    // current row.
    db::Dataset &aqListaAdatok() { return m_aqListaAdatok; }

    // Runs the member query for the list aktBeavtip and enables "Esemény bejegyzése" exactly
    // when it has rows; the first row is current afterwards.
    void readMembers();

    // The click handler of "Új Listatag hozzáadása" and "Esemény bejegyzése".
    void bbEsemClick(const QString &senderName);

    // The grid's columns: the query's fields with their titles and display widths.
    static QList<ui::GridColumn> memberColumns();

private:
    ui::MainHost &m_host;
    db::Dataset m_aqListaAdatok;
    ui::DataSource m_dsListaAdatok;
    QPushButton *bbOK;
    QPushButton *bbUjTag;
    QPushButton *bbEsem;
    ui::DbGrid *dbgLista;
};
