// The help window: readable and usable while a modal dialog runs, beside the dialog it
// explains, closed by Esc without touching the dialog, and the same window for every F1.
#include "messagerecorder.h"

#include "ui/dialog.h"
#include "ui/help.h"
#include "ui/helpplacement.h"
#include "ui/modal.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace testsupport;

namespace {
// A dialog like the program's: two edits with their own help contexts, and Mégsem.
class HelpedDialog : public ui::Dialog
{
public:
    HelpedDialog()
    {
        setObjectName(QStringLiteral("helped"));
        setWindowTitle(QStringLiteral("Próba"));
        ui::setHelpContext(this, 30);
        edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("edit"));
        taj = new QLineEdit(this);
        taj->setObjectName(QStringLiteral("taj"));
        ui::setHelpContext(taj, 12);
        cancel = new QPushButton(QStringLiteral("Mégsem"), this);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(taj);
        layout->addWidget(cancel);
        addButton(cancel, ui::mrCancel);
        setCancelButton(cancel);
        resize(300, 200);
    }
    QLineEdit *edit;
    QLineEdit *taj;
    QPushButton *cancel;
};

QWidget *helpWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"frmSugo")
            return w;
    }
    return nullptr;
}

QTextBrowser *browser()
{
    return helpWindow()->findChild<QTextBrowser *>(QStringLiteral("sugoSzoveg"));
}

// Keys as the window system delivers them: a window that a modal dialog blocks gets none.
void typeInto(QWidget *window, const QString &text)
{
    for (QChar c : text)
        QTest::keyClick(window->windowHandle(), c.toLatin1());
}

void clickIn(QWidget *window, const QString &buttonName)
{
    auto *button = window->findChild<QPushButton *>(buttonName);
    QVERIFY(button);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button->mapTo(window, button->rect().center()));
}
} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void placement_data();
    void placement();
    void usableWhileDialogRuns();
    void besideTheDialog_data();
    void besideTheDialog();
    void findWrapsAndSaysWhenNothingFound();
    void printsThroughThePrintDialog_data();
    void printsThroughThePrintDialog();
};

void TestHelpWindow::initTestCase()
{
    ui::installHelp(*qApp, QStringLiteral(ZAZADOROZ_SOURCE_DIR "/docs/"));
}

void TestHelpWindow::cleanup()
{
    if (QWidget *help = helpWindow())
        help->close();
    QCOMPARE(ui::takeForcedCloses(), 0);
}

void TestHelpWindow::placement_data()
{
    QTest::addColumn<QRect>("explained");
    QTest::addColumn<QRect>("expected");
    const QRect desktop(0, 0, 1600, 900);
    Q_UNUSED(desktop)
    QTest::newRow("room on the right") << QRect(100, 100, 400, 300) << QRect(500, 100, 640, 560);
    QTest::newRow("room only on the left")
        << QRect(1000, 100, 400, 300) << QRect(360, 100, 640, 560);
    QTest::newRow("low on the screen: raised to fit")
        << QRect(100, 600, 400, 300) << QRect(500, 340, 640, 560);
    QTest::newRow("wide window: the wider side, narrower")
        << QRect(400, 100, 1000, 300) << QRect(0, 100, 400, 560);
    QTest::newRow("no room: at least the minimum, at the screen edge")
        << QRect(100, 100, 1400, 300) << QRect(1240, 100, 360, 560);
}

void TestHelpWindow::placement()
{
    QFETCH(QRect, explained);
    QFETCH(QRect, expected);
    const QRect desktop(0, 0, 1600, 900);
    const QRect place = ui::helpPlacement(explained, desktop, QSize(640, 560), 360);
    QCOMPARE(place, expected);
    QVERIFY(desktop.contains(place));
}

void TestHelpWindow::usableWhileDialogRuns()
{
    // A window the dialog blocks, to show that blocked windows really get no keys here.
    QLineEdit behind;
    behind.setObjectName(QStringLiteral("behind"));
    behind.show();
    HelpedDialog dialog;
    MessageRecorder messages;
    ModalDriver driver;
    QWidget *firstHelp = nullptr;
    driver.on(QStringLiteral("helped"), [&](QDialog *) {
        QTest::keyClick(dialog.edit, Qt::Key_F1);
        QWidget *help = helpWindow();
        QVERIFY(help && help->isVisible());
        firstHelp = help;
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        QCOMPARE(browser()->source().fragment(), QStringLiteral("30"));

        // Scroll, find and go back, all by real input to the help window.
        const int top = browser()->verticalScrollBar()->value();
        QTest::keyClick(help->windowHandle(), Qt::Key_PageDown);
        QVERIFY(browser()->verticalScrollBar()->value() > top);
        QTest::keyClick(help->windowHandle(), Qt::Key_F, Qt::ControlModifier);
        typeInto(help, QStringLiteral("jelszo"));
        typeInto(&behind, QStringLiteral("x"));
        QCOMPARE(help->findChild<QLineEdit *>(QStringLiteral("eKereses"))->text(),
                 QStringLiteral("jelszo"));
        QCOMPARE(behind.text(), QString());

        // F1 again: the same window, at the new section, and back again.
        QTest::keyClick(dialog.taj, Qt::Key_F1);
        QCOMPARE(helpWindow(), firstHelp);
        QCOMPARE(browser()->source().fragment(), QStringLiteral("12"));
        clickIn(help, QStringLiteral("btnVissza"));
        QCOMPARE(browser()->source().fragment(), QStringLiteral("30"));

        // Esc closes the help and nothing else.
        QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.modalResult(), int(ui::mrNone));

        // Opened again, it stays open when the dialog closes.
        QTest::keyClick(dialog.edit, Qt::Key_F1);
        QVERIFY(helpWindow()->isVisible());
        QTest::keyClick(dialog.edit, Qt::Key_Escape);
    });
    QCOMPARE(ui::execModal(&dialog), int(ui::mrCancel));
    QVERIFY(firstHelp);
    QVERIFY(helpWindow() && helpWindow()->isVisible());
    QCOMPARE(helpWindow()->parentWidget(), nullptr);
    QVERIFY(messages.texts().isEmpty());
}

void TestHelpWindow::besideTheDialog_data()
{
    QTest::addColumn<bool>("atLeft");
    QTest::newRow("dialog at the left") << true;
    QTest::newRow("dialog at the right") << false;
}

void TestHelpWindow::besideTheDialog()
{
    QFETCH(bool, atLeft);
    HelpedDialog dialog;
    ModalDriver driver;
    QRect dialogFrame;
    QRect helpFrame;
    QRect desktop;
    driver.on(QStringLiteral("helped"), [&](QDialog *) {
        desktop = dialog.screen()->availableGeometry();
        dialog.move(atLeft ? desktop.topLeft() + QPoint(10, 40)
                           : QPoint(desktop.right() - dialog.frameGeometry().width() - 10,
                                    desktop.top() + 40));
        QTest::keyClick(dialog.edit, Qt::Key_F1);
        dialogFrame = dialog.frameGeometry();
        helpFrame = helpWindow()->frameGeometry();
        dialog.reject();
    });
    ui::execModal(&dialog);
    QVERIFY2(!helpFrame.intersects(dialogFrame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                .arg(helpFrame.x())
                                                                .arg(helpFrame.y())
                                                                .arg(helpFrame.width())
                                                                .arg(helpFrame.height())));
    QVERIFY(desktop.contains(helpFrame));
    QCOMPARE(helpFrame.left() > dialogFrame.left(), atLeft);
}

void TestHelpWindow::findWrapsAndSaysWhenNothingFound()
{
    ui::showHelp(nullptr, 70);
    QWidget *help = helpWindow();
    auto *find = help->findChild<QLineEdit *>(QStringLiteral("eKereses"));
    auto *result = help->findChild<QLabel *>(QStringLiteral("lblTalalat"));
    const auto search = [&](const QString &text) {
        find->setText(text);
        QTest::keyClick(find, Qt::Key_Return);
        return browser()->textCursor();
    };
    // From the section in sight on, not from the table of contents.
    QTextCursor found = search(QStringLiteral("Listakezelő"));
    QCOMPARE(found.selectedText(), QStringLiteral("Listakezelő"));
    QVERIFY2(found.block().text().contains(QStringLiteral("Az ablakot a")),
             qPrintable(found.block().text()));
    // Only before the section: found from the top again.
    found = search(QStringLiteral("Bejelentkezés"));
    QCOMPARE(found.selectedText(), QStringLiteral("Bejelentkezés"));
    QVERIFY(result->text().isEmpty());
    search(QStringLiteral("qqqxyz"));
    QCOMPARE(result->text(), QStringLiteral("Nincs találat: qqqxyz"));
}

void TestHelpWindow::printsThroughThePrintDialog_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("printed") << true;
    QTest::newRow("cancelled") << false;
}

void TestHelpWindow::printsThroughThePrintDialog()
{
    QFETCH(bool, accept);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sugo.pdf"));
    ui::showHelp(nullptr, 40);
    ModalDriver driver;
    driver.on(QStringLiteral("dlgNyomtatas"), [&](QDialog *d) {
        auto *dialog = qobject_cast<QPrintDialog *>(d);
        QVERIFY(dialog);
        // No printer on a test machine: printing to a file, named as a person would type it.
        auto *fileName = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
        QVERIFY(fileName && fileName->isVisible());
        fileName->setText(pdf);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    clickIn(helpWindow(), QStringLiteral("btnNyomtatas"));
    QCOMPARE(driver.shown(), QStringList{QStringLiteral("dlgNyomtatas")});
    QFile file(pdf);
    QCOMPARE(file.exists(), accept);
    if (accept) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4) == "%PDF");
        QVERIFY(file.size() > 1000);
    }
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
