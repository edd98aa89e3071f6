#include "reportaction.h"

#include "dataset/dataset.h"
#include "db/clock.h"
#include "report/dailyreport.h"
#include "ui/mainhost.h"
#include "ui/messages.h"

#include <QScopeGuard>

namespace app {

void makeReport(ui::MainHost &host)
{
    db::Dataset &rows = host.atJelentes();
    const auto closeRows = qScopeGuard([&rows] {
        try {
            rows.close();
        } catch (...) {
            // Releasing fetched rows has nothing to report; the action's own outcome stands.
        }
    });
    const report::DailyReport outcome
        = report::makeDailyReport(rows, host.atOsztaly(), host.programDir(), db::today());
    ui::showMessage(host.mainWidget(), outcome.message);
}

} // namespace app
