#pragma once

#include <QValidator>

class QLineEdit;

namespace ui {

// Keeps an edit's text what the database stores: no control characters (a pasted NUL, tab
// or line break is dropped) and at most maxCharacters characters, an emoji counting as one
// and never split. What the box shows is exactly what is saved.
class TextValidator : public QValidator
{
    Q_OBJECT
public:
    TextValidator(int maxCharacters, QObject *parent);

    State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;

    // Puts a validator on the edit; its UTF-16 length limit is widened so that the
    // characters, not the code units, are counted.
    static void limit(QLineEdit *edit, int maxCharacters);

private:
    int m_maxCharacters;
};

} // namespace ui
