#pragma once

#include "reportcell.h"

#include <QByteArray>
#include <QVariant>

#include <array>
#include <span>

namespace report {

// One report row made from values already held as variants (texts, integers, dates and
// date-times), with the bytes its cells point into. A text holding half of a surrogate pair
// keeps it as the three bytes of that half, so that the writer refuses it as it refuses such
// bytes from the database.
class VariantRow
{
public:
    explicit VariantRow(std::span<const QVariant> values);
    VariantRow(const VariantRow &) = delete;
    VariantRow &operator=(const VariantRow &) = delete;

    std::span<const ReportCell> cells() const { return {m_cells.data(), m_count}; }

private:
    std::array<QByteArray, 8> m_texts;
    std::array<ReportCell, 8> m_cells{};
    std::size_t m_count = 0;
};

} // namespace report
