#include "adoxml.h"

#include "adoxmlwriter.h"

#include "db/connection.h"
#include "db/error.h"
#include "db/statement.h"

#include <QLatin1String>

#include <array>

namespace report {

std::array<int, 8> reportColumnSources(const db::Statement &rows)
{
    const std::span<const AdoColumn> columns = reportColumns();
    std::array<int, 8> source{};
    Q_ASSERT(columns.size() == source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const QString name = QLatin1String(columns[i].name);
        source[i] = -1;
        for (int c = 0; c < rows.columnCount() && source[i] < 0; ++c) {
            if (rows.columnName(c).compare(name, Qt::CaseInsensitive) == 0)
                source[i] = c;
        }
        if (source[i] < 0)
            throw db::Error(
                QStringLiteral("Hiányzik a jelentés lekérdezéséből ez az oszlop: %1").arg(name));
    }
    return source;
}

void writeAdoXml(QIODevice &out, db::Statement &rows)
{
    const std::span<const AdoColumn> columns = reportColumns();
    const std::array<int, 8> source = reportColumnSources(rows);

    // One row's cells at a time: the texts stay in the statement until its next step.
    AdoXmlWriter writer(out);
    std::array<ReportCell, 8> cells{};
    do {
        for (std::size_t i = 0; i < source.size(); ++i) {
            ReportCell &cell = cells[i];
            switch (rows.type(source[i])) {
            case db::ValueType::Null:
                cell.kind = ReportCell::Kind::Null;
                break;
            case db::ValueType::Integer:
                cell.kind = ReportCell::Kind::Integer;
                cell.integer = rows.int64(source[i]);
                break;
            default:
                cell.kind = columns[i].kind == db::FieldKind::DateTime ? ReportCell::Kind::Date
                                                                       : ReportCell::Kind::Text;
                cell.utf8 = rows.utf8(source[i]);
                break;
            }
        }
        writer.writeRow(cells);
    } while (rows.step());
    writer.finish();
}

} // namespace report
