#pragma once

#include "memberhistory.h"

#include "ui/dialog.h"

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Napló": what happened to one list entry, read-only: its logged event changes, newest
// first.
class TfrmNaplo : public ui::Dialog
{
    Q_OBJECT
public:
    // member: the entry as the list manager shows it (reference number, TAJ, name).
    TfrmNaplo(const QString &member, const QList<lists::HistoryLine> &lines,
              QWidget *parent = nullptr);

private:
    QLabel *lblTag;
    QTableView *dbgNaplo;
    QStandardItemModel *m_model;
    QPushButton *btnOK;
};
