#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <string>
#include <vector>

namespace lists {

// The list manager's search: a member is found by a part of the name, letter case and
// accents ignored ("kovacs" finds "Kovács Éva", "o" finds "ő"), or by a part of the TAJ
// typed with or without its dashes. The keys are folded from the stored UTF-8 once per
// reading of the list, at the first search, so a keystroke only compares.
class MemberSearch
{
public:
    // Lower case, accents dropped, runs of white space made one blank.
    static QString fold(QStringView text);
    // fold() of a UTF-8 text appended as UTF-8; the names of a long list are folded byte by
    // byte, and only a name with a character beyond the first 2,048 goes through fold().
    static void appendFolded(QByteArrayView utf8, std::string &into);
    // The digits of a query made only of digits, dashes and blanks; empty otherwise.
    static QString tajDigits(QStringView query);

    void clear();
    // Room for the rows and about as many bytes of their stored names and TAJ numbers.
    void reserve(int rows, qsizetype nameBytes = 0, qsizetype tajBytes = 0);
    // Rows are added in the list's own order; their numbers are the member query's rows.
    void addRow(QByteArrayView nameUtf8, QByteArrayView tajUtf8);
    int rowCount() const { return int(m_nameEnds.size()); }

    // Whether the query narrows anything at all.
    static bool isEmptyQuery(QStringView query);
    // The rows of order that the query finds, in the order given.
    std::vector<int> filter(QStringView query, const std::vector<int> &order) const;

private:
    // Marks in found every row whose key in keys holds the text.
    static void mark(const std::string &keys, const std::vector<quint32> &ends,
                     const QByteArray &text, std::vector<char> &found);

    // Every row's key one after another, each ended by a line feed, which no key and no
    // query holds: one search runs through all of them at once.
    std::string m_names; // folded
    std::vector<quint32> m_nameEnds;
    std::string m_tajs; // digits only
    std::vector<quint32> m_tajEnds;
};

} // namespace lists
