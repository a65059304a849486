#include "QvxGuiLampItem.h"

#include "platform/ui/DC.h"
#include "platform/ui/Font.h"

int CQvxGuiLampItem::Draw(CDC* dc, const RECT& rect, int state, int force)
{
    if (state == m_lastState && !force)
        return 0;
    m_lastState = state;
    RECT box = rect;
    dc->FillSolidRect(&box, state ? m_onColour : m_offColour);
    CFont* previous = m_font ? dc->SelectObject(m_font) : nullptr;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(state ? m_onTextColour : m_offTextColour);
    dc->DrawText(state ? m_onText : m_offText, &box, (m_format & DT_CENTER) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    if (previous)
        dc->SelectObject(previous);
    // A sunken edge: dark above and left, light below and right.
    dc->Draw3dRect(&box, RGB(128, 128, 128), RGB(255, 255, 255));
    return 1;
}
