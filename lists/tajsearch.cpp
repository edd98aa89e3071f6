#include "tajsearch.h"

#include "listselection.h"
#include "ufrmTAJkeres.h"

#include "dataset/dataset.h"
#include "db/statements.h"
#include "rules/messages.h"
#include "rules/taj.h"
#include "ui/mainhost.h"
#include "ui/messages.h"
#include "ui/modal.h"

#include <memory>

namespace lists {

void searchTaj(ui::MainHost &host)
{
    host.setAktTAJ(rules::noTaj());
    {
        // Gone once the search has what it needs, whether it was confirmed or cancelled.
        const auto dialog = std::make_unique<TfrmTAJkeres>(host, host.mainWidget());
        if (ui::execModal(dialog.get()) != ui::mrOk || host.aktTAJ() == rules::noTaj())
            return;
    }

    db::Dataset aqAlt(QStringLiteral("aqAlt"));
    aqAlt.setConnection(&host.acZazadoroz());
    aqAlt.setSql(db::statements::tajSearch(host.aktTAJ()));
    aqAlt.open();
    if (aqAlt.recordCount() == 0) {
        ui::showMessage(host.mainWidget(), rules::message::tajOnNoList.toString());
        return;
    }
    if (aqAlt.recordCount() < 2) {
        host.setAktBeavtip(aqAlt.asInteger(QStringLiteral("BEAVTIP_KOD")));
    } else {
        const std::optional<qint64> chosen = chooseList(host, aqAlt);
        if (!chosen)
            return; // the current list as it was
        host.setAktBeavtip(*chosen);
    }
    aqAlt.close();
    OpenListManager(host, host.aktTAJ());
}

} // namespace lists
