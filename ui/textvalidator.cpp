#include "textvalidator.h"

#include "db/textlimit.h"

#include <QLineEdit>

namespace ui {

TextValidator::TextValidator(int maxCharacters, QObject *parent)
    : QValidator(parent)
    , m_maxCharacters(maxCharacters)
{
}

QValidator::State TextValidator::validate(QString &input, int &pos) const
{
    const QString fitted = db::fitText(input, m_maxCharacters);
    if (fitted != input) {
        // The cursor stays after what was kept of the text before it.
        pos = int(qMin(db::fitText(input.left(pos), m_maxCharacters).size(), fitted.size()));
        input = fitted;
    }
    return Acceptable;
}

void TextValidator::fixup(QString &input) const
{
    input = db::fitText(input, m_maxCharacters);
}

void TextValidator::limit(QLineEdit *edit, int maxCharacters)
{
    // Every character takes one or two UTF-16 units; the validator counts the characters.
    edit->setMaxLength(2 * maxCharacters);
    edit->setValidator(new TextValidator(maxCharacters, edit));
}

} // namespace ui
