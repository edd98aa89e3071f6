#include "membersearch.h"

namespace lists {

namespace {
bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}
} // namespace

QString MemberSearch::fold(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    bool blank = false;
    // Most names of a long list are plain ASCII after all: no decomposition needed then.
    const QString decomposed = isAscii(text)
                                   ? text.toString()
                                   : text.toString().normalized(QString::NormalizationForm_D);
    for (const QChar c : decomposed) {
        // The accents of á, é, ő, ű ... are marks of their own after decomposition.
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isSpace()) {
            blank = !folded.isEmpty();
            continue;
        }
        if (blank) {
            folded += u' ';
            blank = false;
        }
        folded += c.toCaseFolded();
    }
    return folded;
}

QString MemberSearch::tajDigits(QStringView query)
{
    QString digits;
    for (const QChar c : query) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
        else if (c != u'-' && !c.isSpace())
            return {};
    }
    return digits;
}

void MemberSearch::clear()
{
    m_names.clear();
    m_tajs.clear();
}

void MemberSearch::reserve(int rows)
{
    m_names.reserve(size_t(rows));
    m_tajs.reserve(size_t(rows));
}

void MemberSearch::addRow(QStringView name, const QString &taj)
{
    m_names.push_back(fold(name));
    QString digits = taj;
    digits.remove(u'-');
    m_tajs.push_back(std::move(digits));
}

bool MemberSearch::isEmptyQuery(QStringView query)
{
    return query.trimmed().isEmpty();
}

std::vector<int> MemberSearch::filter(QStringView query, const std::vector<int> &order) const
{
    if (isEmptyQuery(query))
        return order;
    const QString text = fold(query);
    const QString digits = tajDigits(query);
    std::vector<int> found;
    found.reserve(order.size());
    for (const int row : order) {
        if (row < 0 || size_t(row) >= m_names.size())
            continue;
        if (m_names[size_t(row)].contains(text)
            || (!digits.isEmpty() && m_tajs[size_t(row)].contains(digits)))
            found.push_back(row);
    }
    return found;
}

} // namespace lists
