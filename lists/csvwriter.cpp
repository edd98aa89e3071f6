#include "csvwriter.h"

namespace lists {

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

} // namespace lists
