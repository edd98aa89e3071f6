#pragma once

#include "stats/scope.h"
#include "stats/statistics.h"
#include "ui/dialog.h"

#include <QList>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace ui {
class MainHost;
}

// The statistics window: the waits of the members of one list (or of every list of a kind),
// their distribution, the members at each month's end and each month's comings and goings,
// every chart beside its figures as a table; printed, saved as PDF, the tables as CSV.
class TfrmStatisztika : public ui::Dialog
{
    Q_OBJECT
public:
    static constexpr int helpContext = 80;

    TfrmStatisztika(ui::MainHost &host, QWidget *parent = nullptr);

    const stats::Figures &figures() const { return m_figures; }
    // The choices of cbLista, in its order.
    const QList<stats::Scope> &choices() const { return m_choices; }

private:
    void buildTabs();
    void buildButtons();
    void fillChoices();
    void cbListaChange();
    void btnNyomtatClick();
    void btnPdfClick();
    void btnCsvClick();
    void showFigures();
    QString suggestedFileName(const QString &suffix) const;

    ui::MainHost &m_host;
    QList<stats::Scope> m_choices;
    stats::Figures m_figures;

    QLabel *lblLista;
    QComboBox *cbLista;
    QLabel *lblNap;
    QTabWidget *tabStatisztika;
    QLabel *lblMegjegyzes;
    QTableView *grdJelenleg;
    QChartView *chMegoszlas;
    QTableView *grdMegoszlas;
    QChartView *chAlakulas;
    QTableView *grdAlakulas;
    QChartView *chMozgas;
    QTableView *grdMozgas;
    QPushButton *btnNyomtat;
    QPushButton *btnPdf;
    QPushButton *btnCsv;
    QPushButton *btnBezar;
};
