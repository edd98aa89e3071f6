#include "tableexport.h"

#include "figuretables.h"

#include "tables/csvwriter.h"

#include <algorithm>

namespace stats {

namespace {

bool isNumber(const QVariant &value)
{
    return value.typeId() == QMetaType::LongLong;
}

} // namespace

QString plainText(const Figures &figures)
{
    QString text = heading(figures) + u'\n';
    for (const FigureTable &table : allTables(figures)) {
        text += u'\n' + table.title + u'\n';
        QList<qsizetype> widths;
        for (const QString &column : table.columns)
            widths << column.size();
        for (const QVariantList &row : table.rows) {
            for (qsizetype c = 0; c < row.size() && c < widths.size(); ++c)
                widths[c] = std::max(widths[c], cellText(row.at(c)).size());
        }
        QStringList titles;
        for (qsizetype c = 0; c < table.columns.size(); ++c)
            titles << table.columns.at(c).leftJustified(widths[c]);
        text += titles.join(QStringLiteral("  ")).trimmed() + u'\n';
        for (const QVariantList &row : table.rows) {
            QStringList cells;
            for (qsizetype c = 0; c < row.size() && c < widths.size(); ++c) {
                const QString cell = cellText(row.at(c));
                cells << (isNumber(row.at(c)) || row.at(c).isNull()
                              ? cell.rightJustified(widths[c])
                              : cell.leftJustified(widths[c]));
            }
            text += cells.join(QStringLiteral("  ")).trimmed() + u'\n';
        }
    }
    return text;
}

QByteArray csvDocument(const QList<Figures> &figures)
{
    QList<QList<FigureTable>> tables;
    int widest = 0;
    for (const Figures &f : figures) {
        tables << allTables(f);
        for (const FigureTable &table : tables.last())
            widest = std::max(widest, int(table.columns.size()));
    }
    QList<int> numberColumns;
    for (int c = 1; c < widest; ++c)
        numberColumns << c;
    tables::CsvWriter csv(numberColumns);
    for (int i = 0; i < figures.size(); ++i) {
        if (i > 0)
            csv.addRow({});
        csv.addRow({heading(figures.at(i))});
        for (const FigureTable &table : tables.at(i)) {
            csv.addRow({});
            csv.addRow({table.title});
            csv.addRow(table.columns);
            for (const QVariantList &row : table.rows) {
                QStringList cells;
                for (const QVariant &value : row)
                    cells << (isNumber(value) ? QString::number(value.toLongLong())
                                              : value.toString());
                csv.addRow(cells);
            }
        }
    }
    return csv.document();
}

} // namespace stats
