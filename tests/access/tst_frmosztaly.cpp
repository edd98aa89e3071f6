// The department registration: the order of its checks, the row written as typed, the close
// requests it refuses, and a failed or superfluous write that never leaves a wrong row.
#include "accessfixture.h"
#include "typing.h"

#include "access/ufrmOsztaly.h"
#include "rules/messages.h"
#include "ui/help.h"
#include "ui/radiogroup.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace testsupport;

namespace {
struct Typed
{
    QString intkod, finkod, name;
    int typeIndex;
    QString password, again;
};

const QStringList editNames
    = {QStringLiteral("eDORVKod"), QStringLiteral("eFinKod"), QStringLiteral("eOsztNev"),
       QStringLiteral("eJelszo"), QStringLiteral("eJelszoUjra")};

QStringList values(const Typed &t)
{
    return {t.intkod, t.finkod, t.name, t.password, t.again};
}

void fill(QDialog &dialog, const Typed &t)
{
    const QStringList texts = values(t);
    for (int i = 0; i < editNames.size(); ++i)
        typeText(child<QLineEdit>(&dialog, editNames.at(i)), texts.at(i));
    if (t.typeIndex >= 0)
        child<ui::RadioGroup>(&dialog, QStringLiteral("rgOsztTipus"))->item(t.typeIndex)->click();
}

QStringList editTexts(QDialog &dialog)
{
    QStringList texts;
    for (const QString &name : editNames)
        texts << child<QLineEdit>(&dialog, name)->text();
    return texts;
}

QPushButton *okButton(QDialog &dialog)
{
    return child<QPushButton>(&dialog, QStringLiteral("BitBtn1"));
}

QPushButton *cancelButton(QDialog &dialog)
{
    return child<QPushButton>(&dialog, QStringLiteral("BitBtn2"));
}

const Typed valid{QStringLiteral("1234"),     QStringLiteral("123456789"),
                  QStringLiteral("Sebészet"), 1,
                  QStringLiteral("titok"),    QStringLiteral("titok")};

const QString selectDepartment
    = QStringLiteral("SELECT INTKOD, FINKOD, JAROFEKVO, OSZTALYNEV, JELSZO FROM OSZTALY");
} // namespace

Q_DECLARE_METATYPE(Typed)

class TestFrmOsztaly : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusedInputKeepsDialogOpen_data();
    void refusedInputKeepsDialogOpen();
    void acceptedInputIsStoredAsTyped_data();
    void acceptedInputIsStoredAsTyped();
    void closeRequests_data();
    void closeRequests();
    void editsStopAtColumnWidths();
    void nameBoxShowsFiftyCharacters_data();
    void nameBoxShowsFiftyCharacters();
    void failedInsertKeepsInputForAnotherTry();
    void departmentRegisteredMeanwhileMakesNoSecondRow();
};

void TestFrmOsztaly::refusedInputKeepsDialogOpen_data()
{
    QTest::addColumn<Typed>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("everything empty")
        << Typed{{}, {}, {}, -1, {}, {}} << rules::message::intkodEmpty.toString()
        << QStringLiteral("eDORVKod");
    QTest::newRow("financing code empty, rest bad too")
        << Typed{QStringLiteral("1"), {}, {}, -1, QStringLiteral("a"), QStringLiteral("b")}
        << rules::message::finkodEmpty.toString() << QStringLiteral("eFinKod");
    QTest::newRow("type not chosen, password bad too")
        << Typed{QStringLiteral("1"), QStringLiteral("2"), {}, -1, QStringLiteral("a"), {}}
        << rules::message::typeNotChosen.toString() << QStringLiteral("rgOsztTipus");
    QTest::newRow("password of one character")
        << Typed{QStringLiteral("1"), QStringLiteral("2"), {}, 0,
                 QStringLiteral("a"), QStringLiteral("a")}
        << rules::message::passwordTooShort.toString() << QStringLiteral("eJelszo");
    QTest::newRow("confirmation differs in case")
        << Typed{QStringLiteral("1"),  QStringLiteral("2"), {}, 0,
                 QStringLiteral("ab"), QStringLiteral("aB")}
        << rules::message::passwordMismatch.toString() << QStringLiteral("eJelszo");
}

void TestFrmOsztaly::refusedInputKeepsDialogOpen()
{
    QFETCH(Typed, typed);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    AccessFixture f;
    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        fill(dialog, typed);
        okButton(dialog)->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.modalResult(), int(ui::mrNone));
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.messages().at(0).kind, ui::MessageKind::Plain);
        QWidget *focused = dialog.focusWidget();
        QVERIFY(focused);
        QVERIFY2(focused->objectName() == focus
                     || child<QWidget>(&dialog, focus)->isAncestorOf(focused),
                 qPrintable(focused->objectName()));
        QCOMPARE(editTexts(dialog), values(typed));
        cancelButton(dialog)->click();
    });
    QCOMPARE(result, int(ui::mrCancel));
    QCOMPARE(f.departmentRows(), 0);
}

void TestFrmOsztaly::acceptedInputIsStoredAsTyped_data()
{
    QTest::addColumn<Typed>("typed");
    QTest::addColumn<QString>("letter");

    QTest::newRow("outpatient, quotes in the name, two-character password")
        << Typed{QStringLiteral("0012"),
                 QStringLiteral("001234567"),
                 QStringLiteral("Szent Lukács' ''Kórház'"),
                 0,
                 QStringLiteral("ab"),
                 QStringLiteral("ab")}
        << QStringLiteral("J");
    QTest::newRow("inpatient, Hungarian letters, eight-character password")
        << Typed{QStringLiteral("9999"),
                 QStringLiteral("999999999"),
                 QStringLiteral("Őrségi Ügyelet – fül-orr-gége"),
                 1,
                 QStringLiteral("jelszóŐű"),
                 QStringLiteral("jelszóŐű")}
        << QStringLiteral("F");
    QTest::newRow("codes of a blank and letters, no name")
        << Typed{QStringLiteral(" "),  QStringLiteral("abc"), {}, 1,
                 QStringLiteral("a'"), QStringLiteral("a'")}
        << QStringLiteral("F");
}

void TestFrmOsztaly::acceptedInputIsStoredAsTyped()
{
    QFETCH(Typed, typed);
    QFETCH(QString, letter);

    AccessFixture f;
    f.state.departmentRow().open();
    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        QCOMPARE(dialog.focusWidget(), child<QWidget>(&dialog, QStringLiteral("eDORVKod")));
        QCOMPARE(ui::helpContextFor(dialog.focusWidget()), 20);
        fill(dialog, typed);
        okButton(dialog)->click();
    });
    QCOMPARE(result, int(ui::mrOk));
    QVERIFY(f.messages.texts().isEmpty());
    const QVariantList stored{typed.intkod, typed.finkod, letter, typed.name, typed.password};
    QCOMPARE(rows(f.state.connection(), selectDepartment), QList<QVariantList>{stored});
    // Start-up reads the new row from the department dataset straight after the dialog.
    QCOMPARE(f.state.departmentRow().recordCount(), 1);
    QCOMPARE(f.state.departmentRow().asText(QStringLiteral("OSZTALYNEV")), typed.name);
}

enum class CloseAction { CloseBox, CloseAfterRefusedOk, Escape, CancelButton, EnterInEdit };
Q_DECLARE_METATYPE(CloseAction)

void TestFrmOsztaly::closeRequests_data()
{
    QTest::addColumn<CloseAction>("action");
    QTest::addColumn<bool>("closes");

    QTest::newRow("close box before any press") << CloseAction::CloseBox << false;
    QTest::newRow("close box after a refused OK") << CloseAction::CloseAfterRefusedOk << false;
    QTest::newRow("Esc") << CloseAction::Escape << true;
    QTest::newRow("Mégsem") << CloseAction::CancelButton << true;
    QTest::newRow("Enter in an edit") << CloseAction::EnterInEdit << false;
}

void TestFrmOsztaly::closeRequests()
{
    QFETCH(CloseAction, action);
    QFETCH(bool, closes);

    AccessFixture f;
    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        fill(dialog, valid);
        auto *edit = child<QLineEdit>(&dialog, QStringLiteral("eJelszoUjra"));
        switch (action) {
        case CloseAction::CloseBox:
            dialog.close();
            break;
        case CloseAction::CloseAfterRefusedOk:
            edit->clear();
            okButton(dialog)->click();
            QCOMPARE(f.messages.count(), 1);
            dialog.close();
            break;
        case CloseAction::Escape:
            QTest::keyClick(edit, Qt::Key_Escape);
            break;
        case CloseAction::CancelButton:
            cancelButton(dialog)->click();
            break;
        case CloseAction::EnterInEdit:
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(f.messages.count(), 0);
            break;
        }
        QCOMPARE(dialog.isVisible(), !closes);
        if (!closes) {
            QCOMPARE(dialog.modalResult(), int(ui::mrNone));
            cancelButton(dialog)->click();
        }
    });
    QCOMPARE(result, int(ui::mrCancel));
    QCOMPARE(f.departmentRows(), 0);
}

void TestFrmOsztaly::editsStopAtColumnWidths()
{
    AccessFixture f;
    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const QList<int> widths = {4, 9, 50, 8, 8};
    for (int i = 0; i < editNames.size(); ++i) {
        auto *edit = child<QLineEdit>(&dialog, editNames.at(i));
        typeText(edit, QString(widths.at(i) + 3, u'ő'));
        QCOMPARE(edit->text(), QString(widths.at(i), u'ő'));
    }
}

void TestFrmOsztaly::failedInsertKeepsInputForAnotherTry()
{
    AccessFixture f;
    f.state.departmentRow().open();
    testsupport::refuseWrites(f.state.connection(), QStringLiteral("tiltas"),
                              QStringLiteral("INSERT"), QStringLiteral("OSZTALY"),
                              QStringLiteral("tiltva"));

    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        fill(dialog, valid);
        okButton(dialog)->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(f.messages.messages().at(0).kind, ui::MessageKind::Error);
        QVERIFY2(f.messages.last().contains(QStringLiteral("tiltva")),
                 qPrintable(f.messages.last()));
        QCOMPARE(editTexts(dialog), values(valid));
        QCOMPARE(f.departmentRows(), 0);

        dialog.close();
        QVERIFY2(dialog.isVisible(), "a failed write must not let the dialog close");

        testsupport::allowWrites(f.state.connection(), QStringLiteral("tiltas"),
                                 QStringLiteral("OSZTALY"));
        okButton(dialog)->click();
    });
    QCOMPARE(result, int(ui::mrOk));
    QCOMPARE(f.inTransactionAtMessage, QList<bool>{false});
    QCOMPARE(f.departmentRows(), 1);
    QCOMPARE(f.state.departmentRow().asText(QStringLiteral("FINKOD")), valid.finkod);
}

void TestFrmOsztaly::departmentRegisteredMeanwhileMakesNoSecondRow()
{
    AccessFixture f;

    TfrmOsztaly dialog(f.state, &f.mainWidget);
    const int result = f.run(dialog, [&] {
        fill(dialog, valid);
        // Another instance on the same file registers while this dialog is open.
        db::Connection other;
        f.dir.connect(other);
        insertDepartment(other, QStringLiteral("5555"), QStringLiteral("555555555"),
                         QStringLiteral("J"), QStringLiteral("Másik"), QStringLiteral("masik"));
        other.close();
        okButton(dialog)->click();
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(f.messages.messages().at(0).kind, ui::MessageKind::Plain);
        QVERIFY2(f.messages.last().contains(QStringLiteral("már rögzítették")),
                 qPrintable(f.messages.last()));
    });
    QCOMPARE(result, int(ui::mrCancel));
    QCOMPARE(f.inTransactionAtMessage, QList<bool>{false});
    const QVariantList theirs{QStringLiteral("5555"), QStringLiteral("555555555"),
                              QStringLiteral("J"), QStringLiteral("Másik"),
                              QStringLiteral("masik")};
    QCOMPARE(rows(f.state.connection(), selectDepartment), QList<QVariantList>{theirs});
}

void TestFrmOsztaly::nameBoxShowsFiftyCharacters_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("internal medicine")
        << QStringLiteral("Kardiológiai és Belgyógyászati Osztály, II. számú.");
    QTest::newRow("surgery") << QStringLiteral(
        "Általános Sebészeti és Érsebészeti Osztály (Közp.)");
    QTest::newRow("obstetrics") << QStringLiteral(
        "Szülészet-Nőgyógyászati és Gyermekgyógyászati Klin");
}

void TestFrmOsztaly::nameBoxShowsFiftyCharacters()
{
    QFETCH(QString, name);
    QCOMPARE(name.size(), 50);
    AccessFixture f;
    TfrmOsztaly dialog(f.state);
    dialog.show();
    auto *edit = child<QLineEdit>(&dialog, QStringLiteral("eOsztNev"));
    edit->setText(name);
    edit->setCursorPosition(0);
    // With the cursor at the start, the right edge of the box is past the last character.
    QCOMPARE(edit->cursorPositionAt(QPoint(edit->width() - 1, edit->height() / 2)), 50);
    QVERIFY(dialog.screen()->availableGeometry().contains(dialog.frameGeometry()));
}

QTEST_MAIN(TestFrmOsztaly)
#include "db/connection.h"
#include "tst_frmosztaly.moc"
