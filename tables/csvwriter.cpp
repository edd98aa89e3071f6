#include "csvwriter.h"

#include "texttable.h"

#include <QAbstractItemModel>

namespace tables {

CsvWriter::CsvWriter(QList<int> numberColumns)
    : m_numberColumns(std::move(numberColumns))
{
}

QString CsvWriter::textField(const QString &text)
{
    QString value = text;
    // =, +, - and @ start a formula; a tab or a carriage return at the start can hide one.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!value.isEmpty() && formulaStarts.contains(value.front()))
        value.prepend(u'\'');
    const bool quote = value.contains(u';') || value.contains(u'"') || value.contains(u'\n')
                       || value.contains(u'\r') || value.startsWith(u' ') || value.endsWith(u' ');
    if (!quote)
        return value;
    value.replace(u'"', QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

void CsvWriter::addRow(const QStringList &fields)
{
    QStringList line;
    line.reserve(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        bool number = m_numberColumns.contains(int(i));
        if (number) {
            bool ok = false;
            fields.at(i).toLongLong(&ok);
            // A title or an empty cell in a number column is still written as text.
            number = ok;
        }
        line << (number ? fields.at(i) : textField(fields.at(i)));
    }
    m_text += line.join(u';') + QStringLiteral("\r\n");
}

QByteArray CsvWriter::document() const
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + m_text.toUtf8();
}

QByteArray csvDocument(const QAbstractItemModel &model, const QString &filterNote)
{
    const int columns = model.columnCount();
    QList<int> numbers;
    QStringList titles;
    for (int c = 0; c < columns; ++c) {
        if (isNumberColumn(model, c))
            numbers << c;
        titles << model.headerData(c, Qt::Horizontal).toString();
    }
    CsvWriter csv(numbers);
    if (!filterNote.isEmpty())
        csv.addRow({filterNote});
    csv.addRow(titles);
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << model.index(r, c).data().toString();
        csv.addRow(cells);
    }
    return csv.document();
}

} // namespace tables
