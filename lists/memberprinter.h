#pragma once

#include "memberlisting.h"

class QPagedPaintDevice;

namespace lists {

// Lays the members shown out on pages, for the printer and for a PDF file alike: on each
// page the department, the list and the day, the column titles, as many rows as fit, and
// the page number out of all pages.
class MemberPrinter
{
public:
    explicit MemberPrinter(const MemberListing &listing);

    // Paints every page onto the device (it starts on its first page); returns the pages.
    int paint(QPagedPaintDevice *device) const;

private:
    const MemberListing &m_listing;
};

} // namespace lists
