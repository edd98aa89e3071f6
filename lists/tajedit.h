#pragma once

#include <QLineEdit>

namespace lists {

// The help context of every TAJ edit.
constexpr int tajHelpContext = 12;

// The masked TAJ edit of the member dialog and of the TAJ search: nine digit positions in
// groups of three; a position left empty reads as "0", so the text is always eleven characters.
class TajEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TajEdit(const QString &objectName = {}, QWidget *parent = nullptr);

    // The edit text with every "-" removed: nine digits, rules::noTaj() when nothing was typed.
    QString digits() const;
    // Shows nine stored digits (fewer are padded with "0" on the right, as the mask reads them).
    void setDigits(const QString &digits);

Q_SIGNALS:
    // The focus has left the edit.
    void exited();

protected:
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace lists
