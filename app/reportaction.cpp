#include "reportaction.h"

#include "db/clock.h"
#include "db/dataset.h"
#include "db/error.h"
#include "report/reportfile.h"
#include "ui/mainhost.h"
#include "ui/messages.h"

#include <QScopeGuard>

#include <exception>

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
    rows.open();
    if (rows.recordCount() < 1) {
        ui::showMessage(host.mainWidget(), report::noRowsMessage());
        return;
    }

    const QString reportDir = report::reportDirectory(host.programDir());
    bool failed = false;
    QString failure;
    try {
        const QString financingCode = host.atOsztaly().asText(QStringLiteral("FINKOD"));
        const QString path = report::reportFilePath(reportDir, financingCode, db::today());
        report::saveReport(path, rows);
        ui::showMessage(host.mainWidget(), report::successMessage(path));
    } catch (const db::Error &e) {
        failed = true;
        failure = e.message();
    } catch (const std::exception &e) {
        failed = true;
        failure = QString::fromLocal8Bit(e.what());
    }
    if (failed)
        ui::showMessage(host.mainWidget(), report::failureMessage(reportDir, failure));
}

} // namespace app
