#include "ufrmMainZazadoroz.h"

#include "reportaction.h"

#include "access/ufrmBejel.h"
#include "access/ufrmOsztaly.h"
#include "lists/listselection.h"
#include "report/reportfile.h"
#include "ui/dialog.h"
#include "ui/guard.h"
#include "ui/help.h"
#include "ui/modal.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include <memory>

TfrmMainZazadoroz *frmMainZazadoroz = nullptr;

namespace {
const QString designCaption = QStringLiteral("Várólista kezelő és jelentő program");

QPushButton *largeButton(QWidget *parent, const char *name, const QString &caption,
                         const char *icon)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(caption);
    button->setIcon(QIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(64, 64));
    button->setMinimumSize(300, 84);
    button->setAutoDefault(false);
    return button;
}
} // namespace

TfrmMainZazadoroz::TfrmMainZazadoroz(const QString &programDir, QWidget *parent)
    : QWidget(parent)
    , m_state(this, programDir)
{
    frmMainZazadoroz = this;
    setObjectName(QStringLiteral("frmMainZazadoroz"));
    setWindowTitle(designCaption);
    setAccessibleName(designCaption);
    ui::setHelpContext(this, 40);

    bbZazadoroz = largeButton(this, "bbZazadoroz", QStringLiteral("Várólisták Kezelése"),
                              ":/icons/zazadoroz.svg");
    bbTAJkeres = largeButton(this, "bbTAJkeres", QStringLiteral("TAJ keresése"),
                             ":/icons/tajkeres.svg");
    bbJelent = largeButton(this, "bbJelent", QStringLiteral("Jelentés elkészítése"),
                           ":/icons/jelent.svg");
    BitBtn1 = new QPushButton(QStringLiteral("&Kilép"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAccessibleName(QStringLiteral("Kilép"));
    BitBtn1->setIcon(QIcon(QStringLiteral(":/icons/kilep.svg")));
    BitBtn1->setAutoDefault(false);
    bbBetForglista = largeButton(this, "bbBetForglista",
                                 QStringLiteral("Betegfogadási listák Kezelése"),
                                 ":/icons/betforglista.svg");

    auto *grid = new QGridLayout(this);
    grid->addWidget(bbZazadoroz, 0, 0);
    grid->addWidget(bbBetForglista, 1, 0);
    grid->addWidget(bbTAJkeres, 0, 1);
    grid->addWidget(bbJelent, 1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn1);
    grid->addLayout(bottom, 2, 0, 1, 2);

    setTabOrder(bbZazadoroz, bbTAJkeres);
    setTabOrder(bbTAJkeres, bbJelent);
    setTabOrder(bbJelent, BitBtn1);
    setTabOrder(BitBtn1, bbBetForglista);
    bbZazadoroz->setFocus();

    connect(bbZazadoroz, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbZazadorozClick);
    connect(bbBetForglista, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbZazadorozClick);
    connect(bbTAJkeres, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbTAJkeresClick);
    connect(bbJelent, &QPushButton::clicked, this, &TfrmMainZazadoroz::bbJelentClick);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);

    adjustSize();
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());

    // Start-up errors go to the default error display; the window opens all the same.
    ui::guarded(this, [this] { FormCreate(); });
}

TfrmMainZazadoroz::~TfrmMainZazadoroz()
{
    if (frmMainZazadoroz == this)
        frmMainZazadoroz = nullptr;
}

void TfrmMainZazadoroz::FormCreate()
{
    if (!QDir::setCurrent(m_state.programDir()))
        throw db::Error(QStringLiteral("A program könyvtára nem érhető el: ")
                        + QDir::toNativeSeparators(m_state.programDir()));
    m_state.connect();
    db::Dataset &atOsztaly = m_state.atOsztaly();
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

    m_state.setAktTAJ(QStringLiteral("000000000"));
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

void TfrmMainZazadoroz::bbZazadorozClick()
{
    const QString senderName = sender() ? sender()->objectName() : QString();
    ui::guarded(this, [this, &senderName] {
        m_state.acZazadoroz();
        lists::bbZazadorozClick(m_state, senderName);
    });
}

void TfrmMainZazadoroz::bbTAJkeresClick()
{
    ui::guarded(this, [this] {
        m_state.acZazadoroz();
        lists::bbTAJkeresClick(m_state);
    });
}

void TfrmMainZazadoroz::bbJelentClick()
{
    ui::guarded(this, [this] {
        m_state.acZazadoroz();
        app::makeReport(m_state);
    });
}

QString TfrmMainZazadoroz::DateToYYYYMMDD(const QDate &date) const
{
    return report::DateToYYYYMMDD(date);
}

QString TfrmMainZazadoroz::PadLeft(const QString &text, quint8 minLength, QChar pad) const
{
    return report::PadLeft(text, minLength, pad);
}

void TfrmMainZazadoroz::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()); button && button->isEnabled()) {
            button->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
