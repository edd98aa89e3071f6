#include "ufrmAdatok.h"

#include "buttons.h"
#include "member.h"
#include "tajedit.h"

#include "db/fields.h"
#include "ui/help.h"
#include "ui/mainhost.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int helpContext = 70;
constexpr int nameMaxLength = 50;
// The money green of the read-only reference number.
const QColor moneyGreen(192, 220, 192);

QDateEdit *datePicker(QWidget *parent, const char *name, const QString &label)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setAccessibleName(label);
    picker->setCalendarPopup(true);
    return picker;
}

QString accessibleLabel(const QString &caption)
{
    QString text = caption;
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}
} // namespace

TfrmAdatok::TfrmAdatok(ui::MainHost &host, QWidget *parent)
    : ui::Dialog(parent)
    , m_host(host)
    , atEsemeny(QStringLiteral("atEsemeny"), this)
{
    setObjectName(QStringLiteral("frmAdatok"));
    setWindowTitle(QStringLiteral("Adatok"));
    setAccessibleName(windowTitle());
    ui::setHelpContext(this, helpContext);

    auto *beteg = new QGroupBox(QStringLiteral("A Beteg Adatai"), this);
    beteg->setObjectName(QStringLiteral("gbBeteg"));
    eHivSzam = new QLineEdit(beteg);
    eHivSzam->setObjectName(QStringLiteral("eHivSzam"));
    eHivSzam->setReadOnly(true);
    eHivSzam->setEnabled(false);
    QPalette money = eHivSzam->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        money.setColor(group, QPalette::Base, moneyGreen);
    eHivSzam->setPalette(money);
    eTaj = new lists::TajEdit(QStringLiteral("eTaj"), beteg);
    eNev = new QLineEdit(beteg);
    eNev->setObjectName(QStringLiteral("eNev"));
    eNev->setMaxLength(nameMaxLength);
    dtpListara = datePicker(beteg, "dtpListara", QStringLiteral("Listárakerülés"));

    rgSurgos = new QGroupBox(QStringLiteral("Sürgősség"), beteg);
    rgSurgos->setObjectName(QStringLiteral("rgSurgos"));
    rgSurgos->setAccessibleName(rgSurgos->title());
    m_surgosItems = new QButtonGroup(rgSurgos);
    auto *surgosLayout = new QHBoxLayout(rgSurgos);
    const QStringList surgosItems{QStringLiteral("Azonnali (Akut)"), QStringLiteral("Halasztható")};
    for (int i = 0; i < surgosItems.size(); ++i) {
        auto *item = new QRadioButton(surgosItems.at(i), rgSurgos);
        item->setObjectName(QStringLiteral("rgSurgos%1").arg(i));
        item->setAccessibleName(surgosItems.at(i));
        m_surgosItems->addButton(item, i);
        surgosLayout->addWidget(item);
    }

    auto *betegLayout = new QFormLayout(beteg);
    const auto addRow = [](QFormLayout *layout, const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, field->parentWidget());
        label->setBuddy(field);
        field->setAccessibleName(accessibleLabel(caption));
        layout->addRow(label, field);
    };
    addRow(betegLayout, QStringLiteral("Hiv. Szám:"), eHivSzam);
    addRow(betegLayout, QStringLiteral("TAJ:"), eTaj);
    addRow(betegLayout, QStringLiteral("Név:"), eNev);
    addRow(betegLayout, QStringLiteral("Listárakerülés:"), dtpListara);
    betegLayout->addRow(rgSurgos);

    auto *esemeny = new QGroupBox(QStringLiteral("Esemény"), this);
    esemeny->setObjectName(QStringLiteral("gbEsemeny"));
    cbEsemenynev = new QComboBox(esemeny);
    cbEsemenynev->setObjectName(QStringLiteral("cbEsemenynev"));
    cbEsemenynev->setEditable(false);
    dtpEsemDatum = datePicker(esemeny, "dtpEsemDatum", QStringLiteral("Esemény dátuma"));
    auto *esemenyLayout = new QFormLayout(esemeny);
    addRow(esemenyLayout, QStringLiteral("Esemény neve:"), cbEsemenynev);
    addRow(esemenyLayout, QStringLiteral("Esemény dátuma:"), dtpEsemDatum);

    btnOK = lists::namedButton(this, "btnOK", QStringLiteral("OK"), "ok");
    btnCancel = lists::namedButton(this, "btnCancel", QStringLiteral("Mégsem"), "cancel");
    addButton(btnOK, ui::mrOk);
    addButton(btnCancel, ui::mrCancel, [this] { btnCancelClick(); });
    setCancelButton(btnCancel);
    // Saving comes with the input checks; until then OK cannot take what was typed.
    btnOK->setEnabled(false);

    auto *panel = new QHBoxLayout;
    panel->addStretch();
    panel->addWidget(btnOK);
    panel->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(beteg);
    layout->addWidget(esemeny);
    layout->addLayout(panel);

    QWidget *order[] = {eHivSzam,
                        eTaj,
                        eNev,
                        dtpListara,
                        m_surgosItems->button(0),
                        m_surgosItems->button(1),
                        cbEsemenynev,
                        dtpEsemDatum,
                        btnOK,
                        btnCancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    FormCreate();
}

void TfrmAdatok::FormCreate()
{
    atEsemeny.setConnection(&m_host.acZazadoroz());
    atEsemeny.setTableName(QStringLiteral("ESEMENY"));
    atEsemeny.setFields(db::fields::esemeny());
    atEsemeny.open();
    for (atEsemeny.first(); !atEsemeny.eof(); atEsemeny.next())
        cbEsemenynev->addItem(atEsemeny.asText(QStringLiteral("ES_NEV")));
    cbEsemenynev->setCurrentIndex(-1);
    mayClose = true;
}

void TfrmAdatok::fill(const lists::MemberFill &fill)
{
    eHivSzam->setText(fill.hivSzam);
    if (fill.taj.isEmpty())
        eTaj->clear();
    else
        eTaj->setDigits(fill.taj);
    eNev->setText(fill.nev);
    dtpListara->setDate(fill.listara);
    setSurgosIndex(fill.surgos);
    int eventIndex = -1;
    if (!fill.eventName.isEmpty()) {
        for (int i = 0; i < cbEsemenynev->count(); ++i) {
            if (cbEsemenynev->itemText(i).compare(fill.eventName, Qt::CaseInsensitive) == 0) {
                eventIndex = i;
                break;
            }
        }
    }
    cbEsemenynev->setCurrentIndex(eventIndex);
    dtpEsemDatum->setDate(fill.esemDatum);

    for (QWidget *patient : {static_cast<QWidget *>(eTaj), static_cast<QWidget *>(eNev),
                             static_cast<QWidget *>(dtpListara), static_cast<QWidget *>(rgSurgos)})
        patient->setEnabled(fill.newEntry);
    cbEsemenynev->setEnabled(!fill.newEntry);
    dtpEsemDatum->setEnabled(true);
}

int TfrmAdatok::surgosIndex() const
{
    return m_surgosItems->checkedId();
}

void TfrmAdatok::setSurgosIndex(int index)
{
    // An exclusive group cannot uncheck its last button; switch exclusivity off to clear it.
    m_surgosItems->setExclusive(false);
    for (QAbstractButton *item : m_surgosItems->buttons())
        item->setChecked(m_surgosItems->id(item) == index);
    m_surgosItems->setExclusive(true);
}

void TfrmAdatok::btnCancelClick()
{
    mayClose = true;
}
