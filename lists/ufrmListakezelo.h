#pragma once

#include "memberlisting.h"
#include "membersearch.h"

#include "dataset/dataset.h"
#include "ui/datasetmodel.h"
#include "ui/datasource.h"
#include "ui/dialog.h"

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QStackedLayout;

namespace ui {
class DbGrid;
class MainHost;
class RowMapModel;
} // namespace ui

// "Listakezelő": the members of the current list, oldest entry first, with the two actions
// that open the member dialog (a new member, or an event for the selected one). Below them
// the day's helpers: finding a member, sorting by a column, the count line, printing,
// exporting the members shown, and the history of the selected member.
class TfrmListakezelo : public ui::Dialog
{
    Q_OBJECT
public:
    TfrmListakezelo(ui::MainHost &host, QWidget *parent = nullptr);

    // The member query: the member dialog gets it to look a TAJ up and read the old event of
    // the current row; the TAJ search makes the patient's row current in it. It always holds
    // every member of the list, whatever the search shows.
    db::Dataset &aqListaAdatok() { return m_aqListaAdatok; }

    // Runs the member query for the list aktBeavtip and enables "Esemény bejegyzése" exactly
    // when it has rows; the list's own order comes back and the first row shown is current.
    void readMembers();
    // Reads the members again after the member dialog; when that fails the rows read before
    // stay, the count line says that they may be out of date, and a message says why.
    void rereadMembers();

    // The click handler of "Új Listatag hozzáadása" and "Esemény bejegyzése".
    void bbEsemClick(const QString &senderName);

    // The grid's columns: the query's fields with their titles and display widths.
    static QList<ui::GridColumn> memberColumns();

    // The members shown, in the order shown, as they are printed and exported.
    lists::MemberListing shownMembers() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createGrid();
    void createHelpers();
    void connectControls();
    void layOut();
    void membersRead();
    // Folds the search keys of the rows read, unless they are folded already; never on the
    // way to the list's first paint.
    void buildSearchKeys();
    // The row's listing day; invalid when it has none.
    QDate listedDay(int row) const;
    // The shown members' cells as the grid shows them, each with its waiting days last.
    QList<QStringList> shownRows(const QDate &today) const;
    void applySearch();
    void sortBy(int visibleColumn);
    void currentMoved(int row);
    void updateStatus();
    QString activeSearch() const;
    void markSearch(bool nothingFound);
    void btnNyomtatClick();
    void btnPdfClick();
    void btnCsvClick();
    void btnNaploClick();
    QString suggestedFileName(const QString &suffix) const;

    ui::MainHost &m_host;
    db::Dataset m_aqListaAdatok;
    ui::DataSource m_dsListaAdatok;
    QPushButton *bbOK;
    QPushButton *bbUjTag;
    QPushButton *bbEsem;
    ui::DbGrid *dbgLista;
    QLabel *lblKereses;
    QLineEdit *eKereses;
    QPushButton *btnKeresTorol;
    QPushButton *btnNyomtat;
    QPushButton *btnPdf;
    QPushButton *btnCsv;
    QPushButton *btnNaplo;
    QLabel *lblAllapot;
    QLabel *lblNincsTalalat;
    QStackedLayout *m_gridPlace;

    ui::RowMapModel *m_shown;
    lists::MemberSearch m_search;
    std::vector<int> m_order; // the rows in the order chosen; the list's own order at first
    int m_listaraColumn = -1; // the listing day's column of the member query
    int m_sortColumn = -1;    // the visible column sorted by; -1 for the list's own order
    bool m_descending = false;
    bool m_readFailed = false; // the last reading failed: the rows shown are an earlier one's
    QString m_listName;
    QString m_oddEntriesTold;
    bool m_foldAfterPaint = false; // the search keys wait for the grid's next paint
};
