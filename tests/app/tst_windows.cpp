// What every window of the program owes a person and a screen reader: its help context for
// F1, an accessible name on every control, and no English text anywhere it shows.
#include "messagerecorder.h"
#include "tempdatabase.h"

#include "typing.h"

#include "access/ufrmBejel.h"
#include "access/ufrmOsztaly.h"
#include "app/ufrmMainZazadoroz.h"
#include "lists/ufrmAdatok.h"
#include "lists/ufrmListaValaszto.h"
#include "lists/ufrmListakezelo.h"
#include "lists/ufrmTAJkeres.h"
#include "ui/help.h"
#include "ui/helpwindow.h"
#include "ui/mainstate.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
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
} // namespace

class TestWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyWindowKeepsItsPromises_data();
    void everyWindowKeepsItsPromises();

private:
    std::unique_ptr<TempProgramDir> m_dir;
    QWidget m_mainWidget;
    std::unique_ptr<ui::MainState> m_state;
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
    m_state->atListaDb().setTableName(QStringLiteral("QZAZADOROZDB"));
    m_state->atListaDb().open();
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
    QTest::newRow("list chooser") << Factory([](ui::MainState &s) {
        return std::unique_ptr<QWidget>(new TfrmListaValaszto(s.dsListaDb()));
    }) << 50 << QStringList();
    QTest::newRow("list manager") << Factory([](ui::MainState &s) {
        auto window = std::make_unique<TfrmListakezelo>(s);
        window->readMembers();
        return std::unique_ptr<QWidget>(std::move(window));
    }) << 60 << QStringList();
    QTest::newRow("help") << Factory([](ui::MainState &) {
        return std::unique_ptr<QWidget>(new ui::HelpWindow);
    }) << 0 << QStringList();
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
        QVERIFY2(!w->accessibleName().isEmpty(),
                 qPrintable(
                     QStringLiteral("no accessible name: %1 (%2)")
                         .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()))));
        const int expected = tajEdits.contains(w->objectName()) ? 12 : context;
        QVERIFY2(ui::helpContextFor(w) == expected, qPrintable(w->objectName()));
    }
    for (const QString &text : shownTexts(window.get()))
        QVERIFY2(!english.match(text).hasMatch(), qPrintable(text));
    QVERIFY(messages.texts().isEmpty());
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
