#include "memberorder.h"

#include "dataset/dataset.h"
#include "dataset/fielddef.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <algorithm>
#include <numeric>
#include <optional>

namespace lists {

std::vector<int> ownOrder(const db::Dataset &members)
{
    std::vector<int> rows(size_t(std::max(0, members.recordCount())));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

std::vector<int> sortedOrder(const db::Dataset &members, const QString &column, bool descending)
{
    std::vector<int> rows = ownOrder(members);
    const int index = members.columnIndex(column);
    if (index < 0 || rows.empty())
        return rows;

    // One key per row, made once: comparing keys is what the sort does n log n times.
    const bool text = members.field(column) && members.field(column)->kind == db::FieldKind::Text;
    std::vector<qint64> numbers;
    std::vector<std::optional<QCollatorSortKey>> texts;
    std::vector<bool> empty(rows.size());
    if (text) {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(true);
        texts.reserve(rows.size());
        for (const int row : rows) {
            const QVariant value = members.value(row, index);
            empty[size_t(row)] = value.isNull() || value.toString().isEmpty();
            texts.emplace_back(collator.sortKey(value.toString()));
        }
    } else {
        numbers.reserve(rows.size());
        for (const int row : rows) {
            const QVariant value = members.value(row, index);
            empty[size_t(row)] = value.isNull();
            if (value.typeId() == QMetaType::QDateTime) {
                const QDateTime moment = value.toDateTime();
                numbers.push_back(moment.isValid() ? moment.toMSecsSinceEpoch() : 0);
            } else if (value.typeId() == QMetaType::QDate) {
                numbers.push_back(value.toDate().toJulianDay());
            } else {
                numbers.push_back(value.toLongLong());
            }
        }
    }
    const auto compare = [&](int a, int b) {
        if (empty[size_t(a)] != empty[size_t(b)])
            return empty[size_t(a)] ? -1 : 1;
        if (empty[size_t(a)])
            return 0;
        if (text)
            return texts[size_t(a)]->compare(*texts[size_t(b)]);
        const qint64 x = numbers[size_t(a)];
        const qint64 y = numbers[size_t(b)];
        return x < y ? -1 : (x > y ? 1 : 0);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int c = compare(a, b);
        return descending ? c > 0 : c < 0;
    });
    return rows;
}

} // namespace lists
