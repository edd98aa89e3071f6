#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractItemModel;

namespace tables {

// CSV text that a spreadsheet set to Hungarian opens directly: UTF-8 with a byte order mark,
// ";" between fields (the decimal comma rules out ","), CRLF line ends. A field is quoted
// when it holds ";", a quote, a line break or blanks at an end. A text that a spreadsheet
// would take for a formula gets a leading apostrophe, so a typed name never runs as one.
class CsvWriter
{
public:
    // numberColumns: written bare, as numbers; every other column is text.
    explicit CsvWriter(QList<int> numberColumns = {});

    void addRow(const QStringList &fields);
    QByteArray document() const;

    static QString textField(const QString &text);

private:
    QList<int> m_numberColumns;
    QString m_text;
};

// The whole model as CSV: the heading's filter note on a line of its own when there is one
// (so nobody takes the file for the whole list), the column titles, then the rows; the
// columns that hold numbers (see isNumberColumn) are written bare.
QByteArray csvDocument(const QAbstractItemModel &model, const QString &filterNote);

} // namespace tables
