#include "listselection.h"

#include "ufrmListaValaszto.h"
#include "ufrmListakezelo.h"

#include "dataset/dataset.h"
#include "rules/messages.h"
#include "ui/datasource.h"
#include "ui/mainhost.h"
#include "ui/messages.h"
#include "ui/modal.h"

#include <memory>

namespace lists {

QString summaryQueryName(const QString &senderName)
{
    return senderName == u"bbZazadoroz" ? QStringLiteral("QZAZADOROZDB")
                                        : QStringLiteral("QBETFORGLISTADB");
}

void bbZazadorozClick(ui::MainHost &host, const QString &senderName)
{
    db::Dataset &atListaDb = host.atListaDb();
    // A TAJ search may have left the chooser's data source on its own result.
    host.dsListaDb().setDataset(&atListaDb);
    if (host.aktBeavtip() != 0) {
        atListaDb.close();
        atListaDb.setTableName(summaryQueryName(senderName));
        host.acZazadoroz();
        atListaDb.open();
        if (atListaDb.recordCount() == 0) {
            ui::showMessage(host.mainWidget(), rules::message::noList.toString());
            return;
        }
        // A cancelled chooser goes too, so no hidden window stays behind with the main window.
        auto chooser = std::make_unique<TfrmListaValaszto>(host.dsListaDb(), host.mainWidget());
        host.setAktValaszto(chooser.get());
        if (ui::execModal(chooser.get()) != ui::mrOk)
            return;
        host.setAktBeavtip(int(atListaDb.asInteger(QStringLiteral("BEAVTIP_KOD"))));
        chooser.reset();
        atListaDb.close();
    }
    OpenListManager(host);
}

void OpenListManager(ui::MainHost &host, const std::optional<QString> &taj)
{
    const auto frmListakezelo = std::make_unique<TfrmListakezelo>(host, host.mainWidget());
    host.setAktListakezelo(frmListakezelo.get());
    frmListakezelo->readMembers();
    if (taj)
        frmListakezelo->aqListaAdatok().locate(QStringLiteral("TAJ"), *taj);
    ui::execModal(frmListakezelo.get());
}

} // namespace lists
