#include "tajsearch.h"

#include "listselection.h"
#include "ufrmListaValaszto.h"
#include "ufrmTAJkeres.h"

#include "dataset/dataset.h"
#include "db/statements.h"
#include "rules/messages.h"
#include "rules/taj.h"
#include "ui/datasource.h"
#include "ui/mainhost.h"
#include "ui/messages.h"
#include "ui/modal.h"

#include <memory>

namespace lists {

void bbTAJkeresClick(ui::MainHost &host)
{
    host.setAktTAJ(rules::noTaj());
    {
        // Gone once the search has what it needs, whether it was confirmed or cancelled.
        std::unique_ptr<TfrmTAJkeres> dialog
            = std::make_unique<TfrmTAJkeres>(host, host.mainWidget());
        if (ui::execModal(dialog.get()) != ui::mrOk || host.aktTAJ() == rules::noTaj())
            return;
    }

    db::Dataset &aqAlt = host.aqAlt();
    aqAlt.close();
    aqAlt.setSql(db::statements::tajSearch(host.aktTAJ()));
    aqAlt.open();

    if (aqAlt.recordCount() == 0) {
        ui::showMessage(host.mainWidget(), rules::message::tajOnNoList.toString());
        return;
    }
    if (aqAlt.recordCount() < 2) {
        host.setAktBeavtip(int(aqAlt.asInteger(QStringLiteral("BEAVTIP_KOD"))));
    } else {
        host.dsListaDb().setDataset(&aqAlt);
        std::unique_ptr<TfrmListaValaszto> chooser
            = std::make_unique<TfrmListaValaszto>(host.dsListaDb(), host.mainWidget());
        host.setAktValaszto(chooser.get());
        if (ui::execModal(chooser.get()) != ui::mrOk)
            return; // aqAlt stays open and bound, the current list as it was
        host.setAktBeavtip(int(aqAlt.asInteger(QStringLiteral("BEAVTIP_KOD"))));
    }
    aqAlt.close();
    OpenListManager(host, host.aktTAJ());
}

} // namespace lists
