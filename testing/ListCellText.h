// Whether a list cell's text shows whole to the user: its column is at least as wide as the text
// in the list's font with the cell's margins, and the column lies within the list's client area.
#pragma once

#include <gtest/gtest.h>

#include "platform/ui/ClientDC.h"
#include "platform/ui/ListCtrl.h"

inline ::testing::AssertionResult CellShowsWhole(CListCtrl& list, int row, int column)
{
    const CString text = list.GetItemText(row, column);
    int needed = 0;
    {
        CClientDC dc(&list);
        if (CFont* font = list.GetFont())
            dc.SelectObject(font);
        needed = dc.GetTextExtent(text).cx + 6;  // the cell's margins each side
    }
    int right = 0;
    for (int c = 0; c <= column; ++c)
        right += list.GetColumnWidth(c);
    CRect client;
    list.GetClientRect(&client);
    if (list.GetColumnWidth(column) < needed)
        return ::testing::AssertionFailure() << "\"" << text.GetString() << "\" needs " << needed << " pixels, its column has "
                                             << list.GetColumnWidth(column);
    if (right > client.Width())
        return ::testing::AssertionFailure() << "\"" << text.GetString() << "\" ends at " << right
                                             << ", past the list's " << client.Width() << " pixels";
    return ::testing::AssertionSuccess();
}
