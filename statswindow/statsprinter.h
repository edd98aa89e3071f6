#pragma once

#include "stats/statistics.h"
#include "tables/tableprinter.h"

#include <memory>
#include <vector>

namespace tables {
class TextTable;
}

// The statistics on paper and in a PDF file: the Now table, then each chart on a page of its
// own followed by its table, every page headed by the list and the day. Landscape A4.
class StatsPrinter : public tables::PagePainter
{
public:
    explicit StatsPrinter(const stats::Figures &figures);
    ~StatsPrinter() override;
    StatsPrinter(const StatsPrinter &) = delete;
    StatsPrinter &operator=(const StatsPrinter &) = delete;

    void preparePage(QPagedPaintDevice &device) const override;
    int paint(QPagedPaintDevice &device) const override;

private:
    stats::Figures m_figures;
    std::vector<std::unique_ptr<tables::TextTable>> m_models;
    std::vector<std::unique_ptr<tables::TablePrinter>> m_tables;
};
