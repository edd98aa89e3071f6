// Start-up of the main window: registration or login before the window is shown, the title
// and buttons for the department's type, and what a failed start leaves behind.
#include "messagerecorder.h"
#include "tempdatabase.h"
#include "typing.h"

#include "app/application.h"
#include "app/ufrmMainZazadoroz.h"
#include "db/connection.h"
#include "ui/help.h"
#include "ui/modal.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace testsupport;

namespace {
const QString caption = QStringLiteral("Várólista kezelő és jelentő program");

void addDepartment(const TempProgramDir &dir, const QString &type, const QString &name,
                   const QString &password = QStringLiteral("titok"))
{
    db::Connection connection;
    dir.connect(connection);
    insertDepartment(connection, QStringLiteral("1234"), QStringLiteral("123456789"), type, name,
                     password);
}

void login(ModalDriver &driver, const QString &password)
{
    driver.on(QStringLiteral("frmBejel"), [password](QDialog *d) {
        typeText(child<QLineEdit>(d, QStringLiteral("ePassword")), password);
        QTest::mouseClick(child<QPushButton>(d, QStringLiteral("btnOK")), Qt::LeftButton);
    });
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void registrationOnFirstStartThenWindowAtOnce();
    void cancelledDialogEndsProgram_data();
    void cancelledDialogEndsProgram();
    void buttonsAndTitleFollowDepartment_data();
    void buttonsAndTitleFollowDepartment();
    void missingDatabaseShowsErrorAndDesignCaption();
    void noDataBeforeLogin();
    void f1OpensMainWindowHelp();
    void statisticsButtonComesLastAndOpensItsWindow();
    void qtSpeaksHungarian();
};

void TestMainWindow::registrationOnFirstStartThenWindowAtOnce()
{
    TempProgramDir dir;
    MessageRecorder messages;
    ModalDriver driver;
    driver.on(QStringLiteral("frmOsztaly"), [](QDialog *d) {
        typeText(child<QLineEdit>(d, QStringLiteral("eDORVKod")), QStringLiteral("1234"));
        typeText(child<QLineEdit>(d, QStringLiteral("eFinKod")), QStringLiteral("123456789"));
        typeText(child<QLineEdit>(d, QStringLiteral("eOsztNev")), QStringLiteral("Szemészet"));
        const auto radios = d->findChildren<QRadioButton *>();
        for (QRadioButton *r : radios)
            if (r->text() == u"Fekvőbeteg")
                r->click();
        typeText(child<QLineEdit>(d, QStringLiteral("eJelszo")), QStringLiteral("ab"));
        typeText(child<QLineEdit>(d, QStringLiteral("eJelszoUjra")), QStringLiteral("ab"));
        QTest::mouseClick(child<QAbstractButton>(d, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    TfrmMainZazadoroz window(dir.path());
    QCOMPARE(driver.shown(), QStringList{QStringLiteral("frmOsztaly")});
    QVERIFY(messages.texts().isEmpty());
    QVERIFY(!window.endRequested());
    QCOMPARE(window.windowTitle(), caption + QStringLiteral("  1234 - 123456789 - Szemészet"));
    QVERIFY(child<QPushButton>(&window, QStringLiteral("bbBetForglista"))->isEnabled());
    QCOMPARE(window.state().aktBeavtip(), -1);
    QCOMPARE(window.state().aktTAJ(), QStringLiteral("000000000"));
    QVERIFY(window.state().accessGranted());
}

void TestMainWindow::cancelledDialogEndsProgram_data()
{
    QTest::addColumn<bool>("registered");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("registration") << false << "frmOsztaly";
    QTest::newRow("login") << true << "frmBejel";
}

void TestMainWindow::cancelledDialogEndsProgram()
{
    QFETCH(bool, registered);
    QFETCH(QString, dialog);
    TempProgramDir dir;
    if (registered)
        addDepartment(dir, QStringLiteral("F"), QStringLiteral("Sebészet"));
    MessageRecorder messages;
    ModalDriver driver;
    driver.fallback([](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); });
    TfrmMainZazadoroz window(dir.path());
    QCOMPARE(driver.shown(), QStringList{dialog});
    QVERIFY(window.endRequested());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.state().accessGranted());
}

void TestMainWindow::buttonsAndTitleFollowDepartment_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstCaption");
    QTest::addColumn<bool>("admissionEnabled");
    QTest::addColumn<int>("aktBeavtip");
    QTest::newRow("outpatient") << "J"
                                << "Szemészeti szakrendelés"
                                << "Lista Kezelése" << false << 0;
    QTest::newRow("inpatient") << "F"
                               << "Belgyógyászat"
                               << "Várólisták Kezelése" << true << -1;
    QTest::newRow("lower-case j") << "j"
                                  << "Kardiológia"
                                  << "Várólisták Kezelése" << true << -1;
    QTest::newRow("empty name") << "F"
                                << ""
                                << "Várólisták Kezelése" << true << -1;
}

void TestMainWindow::buttonsAndTitleFollowDepartment()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QFETCH(QString, firstCaption);
    QFETCH(bool, admissionEnabled);
    QFETCH(int, aktBeavtip);
    TempProgramDir dir;
    addDepartment(dir, type, name);
    MessageRecorder messages;
    ModalDriver driver;
    login(driver, QStringLiteral("titok"));
    TfrmMainZazadoroz window(dir.path());
    QCOMPARE(driver.shown(), QStringList{QStringLiteral("frmBejel")});
    QVERIFY(!window.endRequested());
    QCOMPARE(child<QPushButton>(&window, QStringLiteral("bbZazadoroz"))->text(), firstCaption);
    QCOMPARE(child<QPushButton>(&window, QStringLiteral("bbBetForglista"))->isEnabled(),
             admissionEnabled);
    QCOMPARE(window.state().aktBeavtip(), aktBeavtip);
    QCOMPARE(window.windowTitle(), caption + QStringLiteral("  1234 - 123456789 - ") + name);
    // Announced as a window, by the whole title.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&window);
    QCOMPARE(iface->role(), QAccessible::Window);
    QCOMPARE(iface->text(QAccessible::Name), window.windowTitle());
}

void TestMainWindow::missingDatabaseShowsErrorAndDesignCaption()
{
    TempProgramDir dir(false);
    MessageRecorder messages;
    ModalDriver driver;
    TfrmMainZazadoroz window(dir.path());
    QVERIFY(driver.shown().isEmpty());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.messages().front().kind, ui::MessageKind::Error);
    QVERIFY2(messages.last().contains(QStringLiteral("Vazuvede.adat")),
             qPrintable(messages.last()));
    QVERIFY(!window.endRequested());
    QCOMPARE(window.windowTitle(), caption);
    QVERIFY(child<QPushButton>(&window, QStringLiteral("bbBetForglista"))->isEnabled());
    QCOMPARE(window.state().aktBeavtip(), 0);
    QCOMPARE(window.state().aktTAJ(), QString());
    QVERIFY(!QFile::exists(dir.databasePath())); // never created by the program
}

void TestMainWindow::noDataBeforeLogin()
{
    // The database is there, but nobody passed the login: a list button must not open it.
    TempProgramDir dir;
    addDepartment(dir, QStringLiteral("J"), QStringLiteral("Szemészet"));
    MessageRecorder messages;
    ModalDriver driver;
    driver.fallback([](QDialog *d) { QTest::keyClick(d, Qt::Key_Escape); });
    TfrmMainZazadoroz window(dir.path());
    const QStringList before = driver.shown();
    for (const char *name : {"bbZazadoroz", "bbTAJkeres", "bbJelent"}) {
        messages.clear();
        child<QPushButton>(&window, QString::fromLatin1(name))->click();
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().contains(QStringLiteral("bejelentkezés")),
                 qPrintable(messages.last()));
    }
    QCOMPARE(driver.shown(), before);
}

void TestMainWindow::f1OpensMainWindowHelp()
{
    TempProgramDir dir;
    addDepartment(dir, QStringLiteral("F"), QStringLiteral("Sebészet"));
    MessageRecorder messages;
    ModalDriver driver;
    login(driver, QStringLiteral("titok"));
    TfrmMainZazadoroz window(dir.path());
    QList<int> contexts;
    ui::setHelpHandler([&](int context) { contexts << context; });
    ui::installHelp(*qApp, dir.path());
    QTest::keyClick(child<QPushButton>(&window, QStringLiteral("bbJelent")), Qt::Key_F1);
    ui::setHelpHandler({});
    QCOMPARE(contexts, QList<int>{40});
}

void TestMainWindow::qtSpeaksHungarian()
{
    // Qt's own buttons and menus (a date picker's, an edit's context menu) must not be English.
    QVERIFY(Application::loadHungarian(*qApp));
    QCOMPARE_NE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void TestMainWindow::statisticsButtonComesLastAndOpensItsWindow()
{
    TempProgramDir dir;
    addDepartment(dir, QStringLiteral("F"), QStringLiteral("Sebészet"));
    ModalDriver driver;
    login(driver, QStringLiteral("titok"));
    TfrmMainZazadoroz window(dir.path());
    window.show();
    // Tab goes through the four and Kilép as before, then to the new button.
    QStringList order;
    QWidget *w = child<QPushButton>(&window, QStringLiteral("bbZazadoroz"));
    for (int i = 0; i < 6; ++i, w = w->nextInFocusChain()) {
        while (!qobject_cast<QPushButton *>(w))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order,
             (QStringList{QStringLiteral("bbZazadoroz"), QStringLiteral("bbTAJkeres"),
                          QStringLiteral("bbJelent"), QStringLiteral("BitBtn1"),
                          QStringLiteral("bbBetForglista"), QStringLiteral("bbStatisztika")}));
    auto *button = child<QPushButton>(&window, QStringLiteral("bbStatisztika"));
    QCOMPARE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name),
             QStringLiteral("Statisztika"));
    QString lists;
    driver.on(QStringLiteral("frmStatisztika"), [&lists](QDialog *d) {
        lists = child<QComboBox>(d, QStringLiteral("cbLista"))->currentText();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    MessageRecorder messages;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(driver.shown().last(), QStringLiteral("frmStatisztika"));
    QCOMPARE(lists, QStringLiteral("0 – Járóbeteg-ellátás"));
    QVERIFY(messages.texts().isEmpty());
    QCOMPARE(ui::takeForcedCloses(), 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
