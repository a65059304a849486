#include "CQvxGuiLampGroupCtrl.h"

#include <cmath>

#include "GuiUpdateDlg.h"
#include "platform/ui/PaintDC.h"

BEGIN_MESSAGE_MAP(CCQvxGuiLampGroupCtrl, CStatic)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CCQvxGuiLampGroupCtrl::~CCQvxGuiLampGroupCtrl()
{
    while (!m_lamps.IsEmpty())
        delete m_lamps.RemoveHead();
}

void CCQvxGuiLampGroupCtrl::AddLamp(DWORD mask, const char* onText, const char* offText, COLORREF onColour,
                                    COLORREF offColour, COLORREF onTextColour, COLORREF offTextColour)
{
    auto* lamp = new CQvxGuiLampItem;
    lamp->m_mask = mask;
    lamp->m_onText = onText;
    lamp->m_offText = offText;
    lamp->m_onColour = onColour;
    lamp->m_offColour = offColour;
    lamp->m_onTextColour = onTextColour;
    lamp->m_offTextColour = offTextColour;
    m_lamps.AddTail(lamp);
}

CQvxGuiLampItem* CCQvxGuiLampGroupCtrl::GetLamp(int index) const
{
    POSITION pos = m_lamps.FindIndex(index);
    return pos ? m_lamps.GetAt(pos) : nullptr;
}

RECT CCQvxGuiLampGroupCtrl::GetLampRect(int index) const
{
    RECT client{0, 0, 0, 0};
    if (GetSafeHwnd())
        GetClientRect(&client);
    client.top += TitleHeight();
    // A column count of 0 would divide by zero: it draws as one column.
    const int columns = m_columns > 0 ? m_columns : 1;
    const int count = GetLampCount();
    const int rows = count > 0 ? (count + columns - 1) / columns : 1;
    const double width = static_cast<double>(client.right - client.left) / columns;
    const double height = static_cast<double>(client.bottom - client.top) / rows;
    const int row = index / columns;
    const int column = index % columns;
    RECT cell;
    cell.left = client.left + static_cast<int>(std::lround(column * width));
    cell.right = client.left + static_cast<int>(std::lround((column + 1) * width));
    cell.top = client.top + static_cast<int>(std::lround(row * height));
    cell.bottom = client.top + static_cast<int>(std::lround((row + 1) * height));
    return cell;
}

int CCQvxGuiLampGroupCtrl::GetLampState(int index)
{
    CQvxGuiLampItem* lamp = GetLamp(index);
    if (!lamp)
        return 0;
    CGuiUpdateDlg* owner = GetOwnerWindow();
    if (m_customPollId != -1 && owner) {
        int state = 0;
        const int answer = owner->CustomLamp(m_customPollId, index, state, this);
        if (answer == 1)
            return state;
        if (answer != 2)
            return 0;
    }
    return (lamp->m_mask & static_cast<DWORD>(m_value)) != 0;
}

void CCQvxGuiLampGroupCtrl::Redraw()
{
    if (!GetSafeHwnd())
        return;
    // Only a changed lamp makes the control paint again.
    for (int i = 0; i < GetLampCount(); ++i)
        if (GetLampState(i) != GetLamp(i)->m_lastState) {
            Invalidate(FALSE);
            return;
        }
}

void CCQvxGuiLampGroupCtrl::StoreResponse(const CAmpResponseToGui& response)
{
    m_value = m_receiveOffset + response.m_value;
    Redraw();
    m_state = 3;
}

void CCQvxGuiLampGroupCtrl::ProcessResponses()
{
    CQvxGuiControl::ProcessResponses();
    if (m_customPollId != -1)
        Redraw();
}

void CCQvxGuiLampGroupCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (!m_title.IsEmpty()) {
        RECT client;
        GetClientRect(&client);
        RECT title{client.left, client.top, client.right, client.top + TitleHeight()};
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(m_title, &title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    // A paint covers the whole control, so every lamp is drawn; the count tells lamps whose state moved.
    for (int i = 0; i < GetLampCount(); ++i) {
        CQvxGuiLampItem* lamp = GetLamp(i);
        const int state = GetLampState(i);
        if (state != lamp->m_lastState)
            ++m_painted;
        lamp->Draw(&dc, GetLampRect(i), state, 1);
    }
}
