// The status cells of the digital input status windows: blue while the row's
// bit of the state word is set, black while it is clear or not yet known.
#pragma once

#include "controls/ReportCtrl.h"

constexpr COLORREF kStatusOnColour = 0xFF0000;
constexpr COLORREF kStatusOffColour = 0x000000;

// Repaints the cell only when its colour changes.
inline void ShowStatusCell(CReportCtrl& list, int row, int column, bool valid, DWORD word, int bit)
{
    const bool on = valid && bit >= 0 && bit < 32 && ((word >> bit) & 1) != 0;
    const COLORREF colour = on ? kStatusOnColour : kStatusOffColour;
    if (list.GetItemBkColor(column, row) != colour)
        list.SetItemBkColor(column, row, colour);
}
