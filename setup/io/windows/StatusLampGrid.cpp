#include "setup/io/windows/StatusLampGrid.h"
#include <algorithm>

namespace {
constexpr int kGap = 4;
}  // namespace

void CStatusLampGrid::Add(DWORD mask, const char* text, const StatusLampColours& colours)
{
    m_lamps.push_back(Entry{mask, text, colours, std::make_unique<CLampButton>()});
}

void CStatusLampGrid::Create(CWnd* parent, int frameId, int columns, UINT firstId)
{
    CRect frame;
    parent->GetDlgItem(frameId)->GetWindowRect(&frame);
    parent->ScreenToClient(&frame);
    frame.left += 8;
    frame.right -= 8;
    frame.top += 16;
    frame.bottom -= 8;
    const int count = GetCount();
    const int rows = (count + columns - 1) / columns;
    if (rows == 0)
        return;
    const int width = (frame.Width() - kGap * (columns - 1)) / columns;
    const int height = std::min(24, (frame.Height() - kGap * (rows - 1)) / rows);
    for (int i = 0; i < count; ++i) {
        Entry& entry = m_lamps[static_cast<size_t>(i)];
        const int x = frame.left + (i % columns) * (width + kGap);
        const int y = frame.top + (i / columns) * (height + kGap);
        entry.lamp->Create(entry.text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(x, y, x + width, y + height), parent,
                           firstId + static_cast<UINT>(i));
        entry.lamp->m_onFaceColor = entry.colours.onFace;
        entry.lamp->m_offFaceColor = entry.colours.offFace;
        entry.lamp->m_onTextColor = entry.colours.onText;
        entry.lamp->m_offTextColor = entry.colours.offText;
        entry.lamp->SetTexts(entry.text, entry.text, FALSE);
    }
}

void CStatusLampGrid::ShowWord(DWORD word)
{
    for (Entry& entry : m_lamps) {
        const BOOL on = (word & entry.mask) != 0;
        if (entry.lamp->m_on == on || !entry.lamp->GetSafeHwnd())
            continue;
        entry.lamp->m_on = on;
        entry.lamp->Invalidate(FALSE);
    }
}

CLampButton* CStatusLampGrid::Find(DWORD mask) const
{
    for (const Entry& entry : m_lamps)
        if (entry.mask == mask)
            return entry.lamp.get();
    return nullptr;
}
