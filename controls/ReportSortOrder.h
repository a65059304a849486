// CReportSortOrder: how the cells of one report column compare. A column is
// sorted as one kind, the first its non-empty cells all share: decimal
// numbers (a single trailing "%" allowed), unsigned 32-bit hexadecimal
// numbers, dates and times, else text compared byte by byte. Empty cells come
// first. Deciding once for the whole column keeps the order consistent, which
// a cell-by-cell choice of kind does not.
#pragma once

#include <vector>

#include "platform/core/String.h"

class CReportSortOrder {
public:
    enum Kind { Number, Hexadecimal, Date, Text };

    explicit CReportSortOrder(const std::vector<CString>& cells);

    Kind GetKind() const { return m_kind; }
    // -1, 0 or 1 for the cells at the two indices.
    int Compare(size_t a, size_t b) const;

    static bool ParseNumber(const char* text, double& value);
    static bool ParseHexadecimal(const char* text, unsigned& value);

private:
    struct Key {
        bool empty;
        double number;
        unsigned hex;
    };
    const std::vector<CString>& m_cells;
    std::vector<Key> m_keys;
    Kind m_kind = Text;
};
