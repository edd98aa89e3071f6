#include "adoxml.h"

#include "adoxmlwriter.h"

#include "db/dataset.h"
#include "db/error.h"

#include <QLatin1String>

#include <array>

namespace report {

void writeAdoXml(QIODevice &out, const db::Dataset &rows)
{
    const std::span<const AdoColumn> columns = reportColumns();
    std::array<int, 8> source{};
    Q_ASSERT(columns.size() == source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const QString name = QLatin1String(columns[i].name);
        source[i] = rows.columnIndex(name);
        if (source[i] < 0)
            throw db::Error(
                QStringLiteral("Hiányzik a jelentés lekérdezéséből ez az oszlop: %1").arg(name));
    }

    const int count = rows.recordCount();
    AdoXmlWriter writer(out, count);
    std::array<QVariant, 8> values;
    for (int row = 0; row < count; ++row) {
        for (std::size_t i = 0; i < source.size(); ++i)
            values[i] = rows.value(row, source[i]);
        writer.writeRow(values);
    }
    writer.finish();
}

} // namespace report
