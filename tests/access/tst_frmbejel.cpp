// The login: the exact comparison with the stored password, Enter and the refused closes,
// and a department row that cannot be read letting nobody in.
#include "accessfixture.h"
#include "typing.h"

#include "access/ufrmBejel.h"
#include "rules/messages.h"
#include "ui/help.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace testsupport;

namespace {
const QString wrong = rules::message::passwordWrong.toString();
const QString empty = rules::message::passwordEmpty.toString();

// A fixture whose department row holds the given password, opened as start-up opens it.
struct LoginFixture : AccessFixture
{
    explicit LoginFixture(const QString &password)
    {
        insertDepartment(state.connection(), QStringLiteral("1234"), QStringLiteral("123456789"),
                         QStringLiteral("F"), QStringLiteral("Sebészet"), password);
        state.departmentRow().open();
    }
};

QLineEdit *passwordEdit(QDialog &dialog)
{
    return child<QLineEdit>(&dialog, QStringLiteral("ePassword"));
}
} // namespace

class TestFrmBejel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void passwordCheck_data();
    void passwordCheck();
    void enterPressesOkAfterAnyNumberOfWrongTries();
    void closeRequests_data();
    void closeRequests();
    void unreadableDepartmentRowLetsNobodyIn();
    void titleNeverCutOff();
};

void TestFrmBejel::passwordCheck_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // empty: let in

    QTest::newRow("the stored password")
        << QStringLiteral("titok") << QStringLiteral("titok") << QString();
    QTest::newRow("Hungarian letters")
        << QStringLiteral("őrző_ŰÁ") << QStringLiteral("őrző_ŰÁ") << QString();
    QTest::newRow("in capitals") << QStringLiteral("titok") << QStringLiteral("TITOK") << wrong;
    QTest::newRow("a blank added at the end")
        << QStringLiteral("titok") << QStringLiteral("titok ") << wrong;
    QTest::newRow("longer than eight")
        << QStringLiteral("abcdefgh") << QStringLiteral("abcdefghi") << wrong;
    QTest::newRow("beyond the edit's thirty")
        << QStringLiteral("abcdefgh") << QString(35, u'a') << wrong;
    QTest::newRow("nothing typed") << QStringLiteral("titok") << QString() << empty;
    QTest::newRow("empty stored, nothing typed") << QString() << QString() << empty;
    QTest::newRow("empty stored, something typed") << QString() << QStringLiteral("x") << wrong;
}

void TestFrmBejel::passwordCheck()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    LoginFixture f(stored);
    TfrmBejel dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        QCOMPARE(dialog.focusWidget(), passwordEdit(dialog));
        QCOMPARE(ui::helpContextFor(dialog.focusWidget()), 30);
        typeText(passwordEdit(dialog), typed);
        child<QPushButton>(&dialog, QStringLiteral("btnOK"))->click();
        if (message.isEmpty())
            return;
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.modalResult(), int(ui::mrNone));
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.messages().at(0).kind, ui::MessageKind::Plain);
        QCOMPARE(dialog.focusWidget(), passwordEdit(dialog));
        QCOMPARE(passwordEdit(dialog)->text(), typed.left(30));
        child<QPushButton>(&dialog, QStringLiteral("btnCancel"))->click();
    });
    QCOMPARE(result, int(message.isEmpty() ? ui::mrOk : ui::mrCancel));
    if (message.isEmpty())
        QVERIFY(f.messages.texts().isEmpty());
}

void TestFrmBejel::enterPressesOkAfterAnyNumberOfWrongTries()
{
    LoginFixture f(QStringLiteral("Titok1"));
    TfrmBejel dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        QLineEdit *edit = passwordEdit(dialog);
        for (const QString &attempt : {QStringLiteral("titok1"), QStringLiteral("Titok"), QString(),
                                       QStringLiteral("Titok1 ")}) {
            edit->clear();
            typeText(edit, attempt);
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(dialog.isVisible());
        }
        edit->clear();
        typeText(edit, QStringLiteral("Titok1"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QCOMPARE(result, int(ui::mrOk));
    QCOMPARE(f.messages.texts(), (QStringList{wrong, wrong, empty, wrong}));
}

enum class CloseAction { CloseBox, CloseAfterWrongPassword, Escape, CancelButton };
Q_DECLARE_METATYPE(CloseAction)

void TestFrmBejel::closeRequests_data()
{
    QTest::addColumn<CloseAction>("action");
    QTest::addColumn<bool>("closes");

    QTest::newRow("close box before any press") << CloseAction::CloseBox << false;
    QTest::newRow("close box after a wrong password")
        << CloseAction::CloseAfterWrongPassword << false;
    QTest::newRow("Esc") << CloseAction::Escape << true;
    QTest::newRow("Mégsem") << CloseAction::CancelButton << true;
}

void TestFrmBejel::closeRequests()
{
    QFETCH(CloseAction, action);
    QFETCH(bool, closes);

    LoginFixture f(QStringLiteral("titok"));
    TfrmBejel dialog(f.state, &f.mainWidget);
    auto *cancel = child<QPushButton>(&dialog, QStringLiteral("btnCancel"));
    const int result = f.run(dialog, [&] {
        // The right password typed but not confirmed: no close may let it through.
        typeText(passwordEdit(dialog), QStringLiteral("titok"));
        switch (action) {
        case CloseAction::CloseBox:
            dialog.close();
            break;
        case CloseAction::CloseAfterWrongPassword:
            typeText(passwordEdit(dialog), QStringLiteral("x"));
            child<QPushButton>(&dialog, QStringLiteral("btnOK"))->click();
            QCOMPARE(f.messages.texts(), QStringList{wrong});
            dialog.close();
            break;
        case CloseAction::Escape:
            QTest::keyClick(passwordEdit(dialog), Qt::Key_Escape);
            break;
        case CloseAction::CancelButton:
            cancel->click();
            break;
        }
        QCOMPARE(dialog.isVisible(), !closes);
        if (!closes)
            cancel->click();
    });
    QCOMPARE(result, int(ui::mrCancel));
}

void TestFrmBejel::unreadableDepartmentRowLetsNobodyIn()
{
    LoginFixture f(QStringLiteral("titok"));
    f.state.departmentRow().close();
    TfrmBejel dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        typeText(passwordEdit(dialog), QStringLiteral("titok"));
        child<QPushButton>(&dialog, QStringLiteral("btnOK"))->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(f.messages.messages().at(0).kind, ui::MessageKind::Error);
        child<QPushButton>(&dialog, QStringLiteral("btnCancel"))->click();
    });
    QCOMPARE(result, int(ui::mrCancel));
}

void TestFrmBejel::titleNeverCutOff()
{
    AccessFixture f;
    TfrmBejel dialog(f.state);
    dialog.show();
    QFont bold = QApplication::font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    // The whole title, and at least an icon and a close box on either side of it.
    QVERIFY2(dialog.width()
                 >= metrics.horizontalAdvance(dialog.windowTitle()) + 4 * metrics.height(),
             qPrintable(QString::number(dialog.width())));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize()); // still of fixed size
}

QTEST_MAIN(TestFrmBejel)
#include "tst_frmbejel.moc"
