#include "ufrmMainZazadoroz.h"

#include "reportaction.h"

#include "access/ufrmBejel.h"
#include "access/ufrmOsztaly.h"
#include "dataset/dataset.h"
#include "db/error.h"
#include "lists/listselection.h"
#include "lists/tajsearch.h"
#include "rules/taj.h"
#include "statswindow/ufrmStatisztika.h"
#include "ui/accessibility.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/modal.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

#include <memory>

namespace {
QString designCaption()
{
    return QStringLiteral("Várólista kezelő és jelentő program");
}

// What Enter presses is decided by keyPressEvent alone.
QPushButton *mainButton(const QString &name, const QString &caption, const QString &picture,
                        QWidget *parent)
{
    QPushButton *button = ui::button(name, caption, picture, parent);
    button->setAutoDefault(false);
    return button;
}

QPushButton *largeButton(const QString &name, const QString &caption, const QString &picture,
                         QWidget *parent)
{
    QPushButton *button = mainButton(name, caption, picture, parent);
    button->setIconSize(QSize(64, 64));
    button->setMinimumSize(300, 84);
    return button;
}
} // namespace

TfrmMainZazadoroz::TfrmMainZazadoroz(const QString &programDir, QWidget *parent)
    : QWidget(parent)
    , m_state(this, programDir)
{
    setObjectName(QStringLiteral("frmMainZazadoroz"));
    setWindowTitle(designCaption());
    // Announced by its title, department included, like any window.
    ui::installAccessibility();
    ui::setHelpContext(this, 40);

    bbZazadoroz = largeButton(QStringLiteral("bbZazadoroz"), QStringLiteral("Várólisták Kezelése"),
                              QStringLiteral("zazadoroz"), this);
    bbTAJkeres = largeButton(QStringLiteral("bbTAJkeres"), QStringLiteral("TAJ keresése"),
                             QStringLiteral("tajkeres"), this);
    bbJelent = largeButton(QStringLiteral("bbJelent"), QStringLiteral("Jelentés elkészítése"),
                           QStringLiteral("jelent"), this);
    BitBtn1 = mainButton(QStringLiteral("BitBtn1"), QStringLiteral("&Kilép"),
                         QStringLiteral("kilep"), this);
    bbBetForglista = largeButton(QStringLiteral("bbBetForglista"),
                                 QStringLiteral("Betegfogadási listák Kezelése"),
                                 QStringLiteral("betforglista"), this);
    // Not one of the four: it comes after them, and after Kilép, in tab order.
    bbStatisztika = mainButton(QStringLiteral("bbStatisztika"), QStringLiteral("Statisztika"),
                               QStringLiteral("statisztika"), this);
    bbStatisztika->setIconSize(QSize(28, 28));

    auto *grid = new QGridLayout(this);
    grid->addWidget(bbZazadoroz, 0, 0);
    grid->addWidget(bbBetForglista, 1, 0);
    grid->addWidget(bbTAJkeres, 0, 1);
    grid->addWidget(bbJelent, 1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(bbStatisztika);
    bottom->addStretch();
    bottom->addWidget(BitBtn1);
    grid->addLayout(bottom, 2, 0, 1, 2);

    setTabOrder(bbZazadoroz, bbTAJkeres);
    setTabOrder(bbTAJkeres, bbJelent);
    setTabOrder(bbJelent, BitBtn1);
    setTabOrder(BitBtn1, bbBetForglista);
    setTabOrder(bbBetForglista, bbStatisztika);
    bbZazadoroz->setFocus();

    // Both list buttons share one handler; the button's name tells which lists to offer.
    connect(bbZazadoroz, &QPushButton::clicked, this,
            [this] { bbZazadorozClick(bbZazadoroz->objectName()); });
    connect(bbBetForglista, &QPushButton::clicked, this,
            [this] { bbZazadorozClick(bbBetForglista->objectName()); });
    connect(bbTAJkeres, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbTAJkeresClick);
    connect(bbJelent, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbJelentClick);
    connect(bbStatisztika, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbStatisztikaClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    ui::centreOnScreen(this);

    // Start-up errors go to the default error display; the window opens all the same.
    ui::guarded(this, [this] { FormCreate(); });
}

void TfrmMainZazadoroz::FormCreate()
{
    if (!QDir::setCurrent(m_state.programDir()))
        throw db::Error(QStringLiteral("A program könyvtára nem érhető el: ")
                        + QDir::toNativeSeparators(m_state.programDir()));
    m_state.connect();
    db::Dataset &atOsztaly = m_state.departmentRow();
    atOsztaly.open();

    std::unique_ptr<ui::Dialog> dialog;
    if (atOsztaly.recordCount() >= 1)
        dialog = std::make_unique<TfrmBejel>(m_state, this);
    else
        dialog = std::make_unique<TfrmOsztaly>(m_state, this);
    if (ui::execModal(dialog.get()) == ui::mrOk)
        m_state.grantAccess();
    else
        m_endRequested = true; // takes effect before the window is ever shown
    dialog.reset();

    m_state.setAktTAJ(rules::noTaj());
    m_state.setAktBeavtip(-1);
    if (atOsztaly.asText(QStringLiteral("JAROFEKVO")) == u"J") {
        bbZazadoroz->setText(QStringLiteral("Lista Kezelése"));
        bbZazadoroz->setAccessibleName(bbZazadoroz->text());
        bbBetForglista->setEnabled(false);
        m_state.setAktBeavtip(0);
    }
    setWindowTitle(windowTitle() + QStringLiteral("  ") + atOsztaly.asText(QStringLiteral("INTKOD"))
                   + QStringLiteral(" - ") + atOsztaly.asText(QStringLiteral("FINKOD"))
                   + QStringLiteral(" - ") + atOsztaly.asText(QStringLiteral("OSZTALYNEV")));
}

void TfrmMainZazadoroz::bbZazadorozClick(const QString &senderName)
{
    ui::guarded(this, [this, &senderName] {
        m_state.acZazadoroz();
        lists::selectList(m_state, senderName);
    });
}

void TfrmMainZazadoroz::bbTAJkeresClick()
{
    ui::guarded(this, [this] {
        m_state.acZazadoroz();
        lists::searchTaj(m_state);
    });
}

void TfrmMainZazadoroz::bbJelentClick()
{
    ui::guarded(this, [this] {
        m_state.acZazadoroz();
        app::makeReport(m_state);
    });
}

void TfrmMainZazadoroz::bbStatisztikaClick()
{
    ui::guarded(this, [this] {
        m_state.acZazadoroz();
        TfrmStatisztika frmStatisztika(m_state, this);
        ui::execModal(&frmStatisztika);
    });
}

void TfrmMainZazadoroz::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget());
            button && button->isEnabled()) {
            button->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
