// What every window of the program owes a person and a screen reader: its help context for
// F1, no English text anywhere it shows, and a walk through its accessible tree: every control
// with its role, a label (its name or a labelled-by relation) and its current value, every
// label with the text it shows, and the Tab key reaching every control.
#include "messagerecorder.h"
#include "tempdatabase.h"

#include "typing.h"

#include "access/ufrmBejel.h"
#include "access/ufrmOsztaly.h"
#include "app/ufrmMainZazadoroz.h"
#include "dataset/dataset.h"
#include "lists/ufrmAdatok.h"
#include "lists/ufrmListaValaszto.h"
#include "lists/ufrmListakezelo.h"
#include "lists/ufrmTAJkeres.h"
#include "statswindow/ufrmStatisztika.h"
#include "ui/datasource.h"
#include "ui/help.h"
#include "ui/helpwindow.h"
#include "ui/mainstate.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <functional>
#include <memory>

using namespace testsupport;

namespace {
using Factory = std::function<std::unique_ptr<QWidget>(ui::MainState &)>;

// A control a person works with, not a part that Qt builds inside another control.
bool isControl(const QWidget *w)
{
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox *>(p) || qobject_cast<const QComboBox *>(p)
            || qobject_cast<const QAbstractItemView *>(p))
            return false;
    }
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLineEdit *>(w)
           || qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
           || qobject_cast<const QAbstractItemView *>(w) || qobject_cast<const QGroupBox *>(w);
}

// Words that would give away an untranslated text.
const QRegularExpression english(
    QStringLiteral(
        "\\b(Cancel|Close|Yes|No|Open|Save|Apply|Help|Error|Warning|Name|Date|List|Event)\\b"),
    QRegularExpression::UseUnicodePropertiesOption);

QStringList shownTexts(const QWidget *window)
{
    QStringList texts{window->windowTitle()};
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (const auto *b = qobject_cast<const QAbstractButton *>(w))
            texts << b->text();
        else if (const auto *l = qobject_cast<const QLabel *>(w))
            texts << l->text();
        else if (const auto *g = qobject_cast<const QGroupBox *>(w))
            texts << g->title();
        else if (const auto *v = qobject_cast<const QAbstractItemView *>(w); v && v->model()) {
            for (int c = 0; c < v->model()->columnCount(); ++c)
                texts << v->model()->headerData(c, Qt::Horizontal).toString();
        }
    }
    return texts;
}
// The window's accessible tree; the cells of a grid and the list of a combo box are the
// control's own and are not walked.
void walk(QAccessibleInterface *iface, QList<QAccessibleInterface *> &out)
{
    if (!iface || !iface->isValid())
        return;
    out << iface;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::Table || role == QAccessible::List || role == QAccessible::Tree
        || role == QAccessible::ComboBox)
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), out);
}

QString labelOf(QAccessibleInterface *iface)
{
    QString name = iface->text(QAccessible::Name);
    if (!name.trimmed().isEmpty())
        return name;
    for (const auto &relation : iface->relations(QAccessible::Label)) {
        if (!relation.first->text(QAccessible::Name).trimmed().isEmpty())
            return relation.first->text(QAccessible::Name);
    }
    return {};
}

// What a screen reader would miss of this control or label; empty when nothing.
QString missing(QAccessibleInterface *iface)
{
    auto *w = qobject_cast<QWidget *>(iface->object());
    if (!w || !w->isVisible())
        return {};
    const auto *label = qobject_cast<const QLabel *>(w);
    if (!isControl(w) && !label)
        return {};
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::NoRole || role == QAccessible::Client)
        return QStringLiteral("no role");
    if (label) {
        // A label is read by what it shows (its shortcut mark aside), whatever it is for.
        QString shown = label->text();
        shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        return shown.isEmpty() || iface->text(QAccessible::Name) == shown
                   ? QString()
                   : QStringLiteral("label text not exposed: ") + iface->text(QAccessible::Name);
    }
    if (labelOf(iface).isEmpty())
        return QStringLiteral("no name and no labelled-by relation");
    const QString value = iface->text(QAccessible::Value);
    if (const auto *edit = qobject_cast<const QLineEdit *>(w);
        edit && edit->echoMode() == QLineEdit::Normal && value != edit->displayText())
        return QStringLiteral("value ") + value;
    if (const auto *box = qobject_cast<const QComboBox *>(w)) {
        if (value != box->currentText()
            || (box->currentIndex() >= 0 && iface->text(QAccessible::Name) != box->currentText()))
            return QStringLiteral("combo box does not name its item: ") + value;
    }
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(w); spin && value != spin->text())
        return QStringLiteral("value ") + value;
    if (const auto *button = qobject_cast<const QAbstractButton *>(w);
        button && button->isCheckable() && iface->state().checked != button->isChecked())
        return QStringLiteral("checked state not exposed");
    if (const auto *view = qobject_cast<const QAbstractItemView *>(w); view && view->model()) {
        QAccessibleTableInterface *table = iface->tableInterface();
        if (table && table->rowCount() != view->model()->rowCount())
            return QStringLiteral("rows not exposed");
    }
    return {};
}

// The controls the Tab key reaches from the focused one, once round.
QSet<const QWidget *> tabRound(QWidget *window)
{
    QSet<const QWidget *> reached;
    QWidget *start = QApplication::focusWidget();
    if (!start) {
        window->nextInFocusChain()->setFocus(Qt::TabFocusReason);
        start = QApplication::focusWidget();
    }
    QWidget *at = start;
    for (int i = 0; at && i < 200; ++i) {
        reached.insert(at);
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
        if (at == start)
            break;
    }
    return reached;
}

bool wantsTab(const QWidget *w)
{
    return isControl(w) && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)
           && !qobject_cast<const QGroupBox *>(w);
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyWindowKeepsItsPromises_data();
    void everyWindowKeepsItsPromises();
    void everyControlReachesAScreenReader_data() { everyWindowKeepsItsPromises_data(); }
    void everyControlReachesAScreenReader();

private:
    std::unique_ptr<TempProgramDir> m_dir;
    QWidget m_mainWidget;
    std::unique_ptr<ui::MainState> m_state;
    // What the list chooser shows: the waiting lists' summary.
    db::Dataset m_atListaDb{QStringLiteral("atListaDb")};
    ui::DataSource m_dsListaDb{QStringLiteral("dsListaDb")};
};

void TestWindows::initTestCase()
{
    m_dir = std::make_unique<TempProgramDir>();
    m_state = std::make_unique<ui::MainState>(&m_mainWidget, m_dir->path());
    m_state->connect();
    insertDepartment(m_state->connection(), QStringLiteral("1234"), QStringLiteral("123456789"),
                     QStringLiteral("F"), QStringLiteral("Sebészet"), QStringLiteral("titok"));
    insertEntry(m_state->connection(), 1, QStringLiteral("123456788"), QStringLiteral("Kiss Ödön"),
                QDate(2026, 3, 7));
    m_state->grantAccess();
    m_state->departmentRow().open();
    m_state->setAktBeavtip(1);
    m_atListaDb.setConnection(&m_state->connection());
    m_atListaDb.setTableName(QStringLiteral("QZAZADOROZDB"));
    m_atListaDb.open();
    m_dsListaDb.setDataset(&m_atListaDb);
}

void TestWindows::everyWindowKeepsItsPromises_data()
{
    QTest::addColumn<Factory>("make");
    QTest::addColumn<int>("context");
    QTest::addColumn<QStringList>("tajEdits");
    QTest::newRow("main window") << Factory([](ui::MainState &s) {
        ModalDriver driver;
        driver.on(QStringLiteral("frmBejel"), [](QDialog *d) {
            typeText(child<QLineEdit>(d, QStringLiteral("ePassword")), QStringLiteral("titok"));
            QTest::keyClick(child<QLineEdit>(d, QStringLiteral("ePassword")), Qt::Key_Return);
        });
        return std::unique_ptr<QWidget>(new TfrmMainZazadoroz(s.programDir()));
    }) << 40 << QStringList();
    QTest::newRow("registration") << Factory([](ui::MainState &s) {
        return std::unique_ptr<QWidget>(new TfrmOsztaly(s));
    }) << 20 << QStringList();
    QTest::newRow("login") << Factory([](ui::MainState &s) {
        return std::unique_ptr<QWidget>(new TfrmBejel(s));
    }) << 30 << QStringList();
    QTest::newRow("TAJ search") << Factory([](ui::MainState &s) {
        return std::unique_ptr<QWidget>(new TfrmTAJkeres(s));
    }) << 40 << QStringList{QStringLiteral("eTaj")};
    QTest::newRow("list chooser") << Factory([this](ui::MainState &) {
        return std::unique_ptr<QWidget>(new TfrmListaValaszto(m_dsListaDb));
    }) << 50 << QStringList();
    QTest::newRow("list manager") << Factory([](ui::MainState &s) {
        auto window = std::make_unique<TfrmListakezelo>(s);
        window->readMembers();
        return std::unique_ptr<QWidget>(std::move(window));
    }) << 60 << QStringList();
    QTest::newRow("help") << Factory([](ui::MainState &) {
        return std::unique_ptr<QWidget>(new ui::HelpWindow);
    }) << 0 << QStringList();
    QTest::newRow("statistics") << Factory(
        [](ui::MainState &s) { return std::unique_ptr<QWidget>(new TfrmStatisztika(s)); })
                                << TfrmStatisztika::helpContext << QStringList();
    QTest::newRow("member dialog")
        << Factory([](ui::MainState &s) { return std::unique_ptr<QWidget>(new TfrmAdatok(s)); })
        << 70 << QStringList{QStringLiteral("eTaj")};
}

void TestWindows::everyWindowKeepsItsPromises()
{
    QFETCH(Factory, make);
    QFETCH(int, context);
    QFETCH(QStringList, tajEdits);
    MessageRecorder messages;
    const std::unique_ptr<QWidget> window = make(*m_state);
    window->show();
    QVERIFY(!window->objectName().isEmpty());
    QCOMPARE(ui::helpContextFor(window.get()), context);
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (!isControl(w))
            continue;
        const int expected = tajEdits.contains(w->objectName()) ? 12 : context;
        QVERIFY2(ui::helpContextFor(w) == expected, qPrintable(w->objectName()));
    }
    for (const QString &text : shownTexts(window.get()))
        QVERIFY2(!english.match(text).hasMatch(), qPrintable(text));
    QVERIFY(messages.texts().isEmpty());
}

void TestWindows::everyControlReachesAScreenReader()
{
    QFETCH(Factory, make);
    MessageRecorder messages;
    const std::unique_ptr<QWidget> window = make(*m_state);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QList<QAccessibleInterface *> tree;
    walk(QAccessible::queryAccessibleInterface(window.get()), tree);
    QStringList problems;
    QSet<QObject *> exposed;
    for (QAccessibleInterface *iface : std::as_const(tree)) {
        exposed.insert(iface->object());
        const QString problem = missing(iface);
        if (!problem.isEmpty())
            problems << iface->object()->objectName() + QStringLiteral(": ") + problem;
    }
    // Every control and label is in the tree, not only on the screen.
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if ((isControl(w) || qobject_cast<QLabel *>(w)) && w->isVisible() && !exposed.contains(w))
            problems << w->objectName() + QStringLiteral(": not in the accessible tree");
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    // The keyboard reaches every control; a radio group is reached through any of its buttons,
    // the arrow keys move within it.
    const QSet<const QWidget *> reached = tabRound(window.get());
    QStringList unreached;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (!wantsTab(w) || reached.contains(w))
            continue;
        if (qobject_cast<const QRadioButton *>(w)) {
            const auto siblings = w->parentWidget()->findChildren<QRadioButton *>();
            if (std::any_of(siblings.cbegin(), siblings.cend(),
                            [&reached](const QRadioButton *b) { return reached.contains(b); }))
                continue;
        }
        unreached << w->objectName();
    }
    QVERIFY2(unreached.isEmpty(), qPrintable(unreached.join(QStringLiteral(", "))));
    QVERIFY(messages.texts().isEmpty());
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
