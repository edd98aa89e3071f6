#include "listselection.h"

#include "ufrmListaValaszto.h"
#include "ufrmListakezelo.h"

#include "dataset/dataset.h"
#include "dataset/fields.h"
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

void selectList(ui::MainHost &host, const QString &senderName)
{
    if (host.aktBeavtip() != 0) {
        db::Dataset atListaDb(QStringLiteral("atListaDb"));
        atListaDb.setConnection(&host.acZazadoroz());
        atListaDb.setTableName(summaryQueryName(senderName));
        atListaDb.setFields(db::fields::listSummary());
        atListaDb.open();
        if (atListaDb.recordCount() == 0) {
            ui::showMessage(host.mainWidget(), rules::message::noList.toString());
            return;
        }
        const std::optional<qint64> chosen = chooseList(host, atListaDb);
        if (!chosen)
            return;
        host.setAktBeavtip(*chosen);
    }
    OpenListManager(host);
}

std::optional<qint64> chooseList(ui::MainHost &host, db::Dataset &lists)
{
    ui::DataSource dsListaDb(QStringLiteral("dsListaDb"));
    dsListaDb.setDataset(&lists);
    // A cancelled chooser goes too, so no hidden window stays behind with the main window.
    const auto chooser = std::make_unique<TfrmListaValaszto>(dsListaDb, host.mainWidget());
    if (ui::execModal(chooser.get()) != ui::mrOk)
        return std::nullopt;
    return lists.asInteger(QStringLiteral("BEAVTIP_KOD"));
}

void OpenListManager(ui::MainHost &host, const std::optional<QString> &taj)
{
    const auto frmListakezelo = std::make_unique<TfrmListakezelo>(host, host.mainWidget());
    frmListakezelo->readMembers();
    if (taj)
        frmListakezelo->aqListaAdatok().locate(QStringLiteral("TAJ"), *taj);
    ui::execModal(frmListakezelo.get());
}

} // namespace lists
