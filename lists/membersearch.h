#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace lists {

// The list manager's search: a member is found by a part of the name, letter case and
// accents ignored ("kovacs" finds "Kovács Éva", "o" finds "ő"), or by a part of the TAJ
// typed with or without its dashes. The keys are folded once per reading of the list, so a
// keystroke only compares.
class MemberSearch
{
public:
    // Lower case, accents dropped, runs of white space made one blank.
    static QString fold(QStringView text);
    // The digits of a query made only of digits, dashes and blanks; empty otherwise.
    static QString tajDigits(QStringView query);

    void clear();
    void reserve(int rows);
    // Rows are added in the list's own order; their numbers are the member query's rows.
    void addRow(QStringView name, const QString &taj);
    int rowCount() const { return int(m_names.size()); }

    // Whether the query narrows anything at all.
    static bool isEmptyQuery(QStringView query);
    // The rows of order that the query finds, in the order given.
    std::vector<int> filter(QStringView query, const std::vector<int> &order) const;

private:
    std::vector<QString> m_names; // folded
    std::vector<QString> m_tajs;  // digits only
};

} // namespace lists
