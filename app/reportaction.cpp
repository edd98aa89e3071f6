#include "reportaction.h"

#include "db/clock.h"
#include "report/dailyreport.h"
#include "ui/mainhost.h"
#include "ui/messages.h"

namespace app {

void makeReport(ui::MainHost &host)
{
    const report::DailyReport outcome = report::makeDailyReport(
        host.acZazadoroz(), host.atOsztaly(), host.programDir(), db::today());
    ui::showMessage(host.mainWidget(), outcome.message);
}

} // namespace app
