// The conventions every window shares: the error text, modal-result buttons, closeQuery,
// Enter and Esc, first focus, and F1 finding the nearest help context.
#include "messagerecorder.h"

#include "db/error.h"
#include "ui/dialog.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modal.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <stdexcept>

using namespace testsupport;

namespace {
// A dialog with an edit and OK/Cancel, whose close is refused while mayClose is false.
class ProbeDialog : public ui::Dialog
{
public:
    explicit ProbeDialog(bool withDefault)
    {
        setObjectName(QStringLiteral("probe"));
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit"));
        other = new QPushButton(QStringLiteral("Más"), this);
        other->setObjectName(QStringLiteral("other"));
        ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("ok"));
        cancel = new QPushButton(QStringLiteral("Mégsem"), this);
        cancel->setObjectName(QStringLiteral("cancel"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(ok);
        layout->addWidget(cancel);
        addButton(ok, ui::mrOk, [this] {
            ++okPresses;
            resultSeenByHandler = modalResult();
            mayClose = acceptOk;
        });
        addButton(cancel, ui::mrCancel, [this] { mayClose = true; });
        addButton(other, ui::mrNone, [this] { ++otherPresses; });
        if (withDefault)
            setDefaultButton(ok);
        setCancelButton(cancel);
    }
    bool closeQuery() override { return mayClose; }

    QLineEdit *edit;
    QPushButton *other;
    QPushButton *ok;
    QPushButton *cancel;
    bool mayClose = false;
    bool acceptOk = true;
    int okPresses = 0;
    int otherPresses = 0;
    int resultSeenByHandler = -1;
};
} // namespace

class TestConventions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void handlerErrorGoesToErrorDisplay_data();
    void handlerErrorGoesToErrorDisplay();
    void okButtonSetsResultBeforeHandlerAndCloses();
    void refusedCloseKeepsDialogOpenAndClearsResult();
    void closeRequestsFollowCloseQuery_data();
    void closeRequestsFollowCloseQuery();
    void enterPressesFocusedButtonElseDefaultElseNothing_data();
    void enterPressesFocusedButtonElseDefaultElseNothing();
    void firstControlInTabOrderHasFocus();
    void f1FindsNearestHelpContext();
    void helpFileHasEveryContext();
    void missingHelpFileIsReported();
    void messageBoxTitleNeverCutOff_data();
    void messageBoxTitleNeverCutOff();
};

void TestConventions::handlerErrorGoesToErrorDisplay_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("engineError"); // thrown as db::Error, else as a standard exception
    QTest::addColumn<QString>("shown");
    QTest::newRow("engine's message ending in a letter")
        << "file is encrypted or is not a database" << true
        << "file is encrypted or is not a database.";
    QTest::newRow("ending in a digit") << "hiba 26" << true << "hiba 26.";
    QTest::newRow("ending in a Hungarian letter") << "nem írható ő" << false << "nem írható ő.";
    QTest::newRow("ending in !") << "Hiba!" << true << "Hiba!";
    QTest::newRow("ending in )") << "hiba (26)" << false << "hiba (26)";
    QTest::newRow("ending in .") << "Hiba." << true << "Hiba.";
    QTest::newRow("a path ending in /") << "a/b/" << true << "a/b/.";
    QTest::newRow("ending in ,") << "a," << false << "a,";
}

void TestConventions::handlerErrorGoesToErrorDisplay()
{
    QFETCH(QString, message);
    QFETCH(bool, engineError);
    QFETCH(QString, shown);
    ui::Dialog dialog;
    auto *button = new QPushButton(QStringLiteral("OK"), &dialog);
    dialog.addButton(button, ui::mrNone, [&] {
        if (engineError)
            throw db::Error(message);
        throw std::runtime_error(message.toStdString());
    });
    MessageRecorder messages;
    button->click();
    QCOMPARE(messages.texts(), QStringList{shown});
    QCOMPARE(messages.messages().front().kind, ui::MessageKind::Error);
}

void TestConventions::okButtonSetsResultBeforeHandlerAndCloses()
{
    ProbeDialog dialog(true);
    ModalDriver driver;
    driver.on(QStringLiteral("probe"), [](QDialog *d) {
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("ok")), Qt::LeftButton);
    });
    QCOMPARE(ui::execModal(&dialog), int(ui::mrOk));
    QCOMPARE(dialog.resultSeenByHandler, int(ui::mrOk));
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestConventions::refusedCloseKeepsDialogOpenAndClearsResult()
{
    ProbeDialog dialog(true);
    dialog.acceptOk = false;
    bool stayedOpen = false;
    int resultAfter = -1;
    ModalDriver driver;
    driver.on(QStringLiteral("probe"), [&](QDialog *) {
        QTest::mouseClick(dialog.ok, Qt::LeftButton);
        stayedOpen = dialog.isVisible();
        resultAfter = dialog.modalResult();
        QTest::mouseClick(dialog.cancel, Qt::LeftButton);
    });
    QCOMPARE(ui::execModal(&dialog), int(ui::mrCancel));
    QVERIFY(stayedOpen);
    QCOMPARE(resultAfter, int(ui::mrNone));
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestConventions::closeRequestsFollowCloseQuery_data()
{
    QTest::addColumn<bool>("mayClose");
    QTest::newRow("refused") << false;
    QTest::newRow("granted") << true;
}

void TestConventions::closeRequestsFollowCloseQuery()
{
    QFETCH(bool, mayClose);
    ProbeDialog dialog(true);
    dialog.mayClose = mayClose;
    dialog.show();
    dialog.close(); // the close box and Alt+F4 arrive as this
    QCOMPARE(dialog.isVisible(), !mayClose);
    if (!mayClose) {
        QTest::keyClick(dialog.edit, Qt::Key_Escape); // presses Cancel, which allows it
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(ui::mrCancel));
    }
}

void TestConventions::enterPressesFocusedButtonElseDefaultElseNothing_data()
{
    QTest::addColumn<bool>("withDefault");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("okPresses");
    QTest::addColumn<int>("otherPresses");
    QTest::newRow("edit, default OK") << true << "edit" << 1 << 0;
    QTest::newRow("edit, no default") << false << "edit" << 0 << 0;
    QTest::newRow("focused button") << true << "other" << 0 << 1;
    QTest::newRow("focused button, no default") << false << "other" << 0 << 1;
}

void TestConventions::enterPressesFocusedButtonElseDefaultElseNothing()
{
    QFETCH(bool, withDefault);
    QFETCH(QString, focus);
    QFETCH(int, okPresses);
    QFETCH(int, otherPresses);
    ProbeDialog dialog(withDefault);
    dialog.mayClose = false;
    dialog.acceptOk = false;
    dialog.show();
    auto *target = dialog.findChild<QWidget *>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(dialog.okPresses, okPresses);
    QCOMPARE(dialog.otherPresses, otherPresses);
    QVERIFY(dialog.isVisible());
}

void TestConventions::firstControlInTabOrderHasFocus()
{
    ProbeDialog dialog(true);
    dialog.show();
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget *>(dialog.edit));
}

void TestConventions::f1FindsNearestHelpContext()
{
    QWidget window;
    ui::setHelpContext(&window, 40);
    auto *box = new QWidget(&window);
    auto *plain = new QLineEdit(box);
    auto *taj = new QLineEdit(box);
    ui::setHelpContext(taj, 12);
    QList<int> opened;
    ui::setHelpHandler([&](int context) { opened << context; });
    // F1 is caught for the whole application.
    ui::installHelp(*qApp, QStringLiteral("."));
    QTest::keyClick(plain, Qt::Key_F1);
    QTest::keyClick(taj, Qt::Key_F1);
    QTest::keyClick(&window, Qt::Key_F1);
    ui::setHelpHandler({});
    QCOMPARE(opened, (QList<int>{40, 12, 40}));
    QCOMPARE(ui::helpContextFor(new QWidget), 0);
}

void TestConventions::helpFileHasEveryContext()
{
    // The shipped help file, opened the way F1 opens it.
    ui::installHelp(*qApp, QStringLiteral(ZAZADOROZ_SOURCE_DIR "/docs/"));
    MessageRecorder messages;
    for (int context : {12, 20, 30, 40, 50, 60, 70, 80}) {
        ui::showHelp(nullptr, context);
        QTextBrowser *browser = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == u"frmSugo" && w->isVisible())
                browser = w->findChild<QTextBrowser *>();
        // Spelled out, so that the analyzer sees the test end here.
        if (!browser)
            QFAIL("the help window did not open");
        QVERIFY2(browser->document()->toHtml().contains(QStringLiteral("name=\"%1\"").arg(context)),
                 qPrintable(QString::number(context)));
    }
    QVERIFY(messages.texts().isEmpty());
}

void TestConventions::missingHelpFileIsReported()
{
    QTemporaryDir empty;
    ui::installHelp(*qApp, empty.path());
    MessageRecorder messages;
    ui::showHelp(nullptr, 40);
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().contains(QStringLiteral("Zazadoroz.hlp")),
             qPrintable(messages.last()));
}

void TestConventions::messageBoxTitleNeverCutOff_data()
{
    QTest::addColumn<bool>("error");
    QTest::newRow("message") << false;
    QTest::newRow("error") << true;
}

void TestConventions::messageBoxTitleNeverCutOff()
{
    QFETCH(bool, error);
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int width = 0;
    QString title;
    ModalDriver driver;
    driver.fallback([&](QDialog *box) {
        width = box->width();
        title = box->windowTitle();
        box->findChild<QPushButton *>()->click();
    });
    if (error)
        ui::showError(nullptr, QStringLiteral("Hiba"));
    else
        ui::showMessage(nullptr, QStringLiteral("Kész!"));
    QCOMPARE(driver.shown(),
             QStringList{error ? QStringLiteral("hibauzenet") : QStringLiteral("uzenet")});
    QCOMPARE(title, ui::applicationTitle());
    // The whole title, and at least an icon and a close box on either side of it.
    QVERIFY2(width >= metrics.horizontalAdvance(title) + 4 * metrics.height(),
             qPrintable(QString::number(width)));
    QCOMPARE(ui::takeForcedCloses(), 0);
}

QTEST_MAIN(TestConventions)
#include "tst_conventions.moc"
