#include "LampButton.h"

#include "foundation/NumberHelpers.h"
#include "foundation/WindowBoundHelpers.h"
#include "platform/ui/DC.h"

BEGIN_MESSAGE_MAP(CLampButton, CButton)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CLampButton::CLampButton()
    : m_onTextColor(GetSysColor(COLOR_BTNTEXT)),
      m_offTextColor(GetSysColor(COLOR_BTNTEXT)),
      m_onFaceColor(GetSysColor(COLOR_BTNFACE)),
      m_offFaceColor(GetSysColor(COLOR_BTNFACE))
{
}

void CLampButton::SetTexts(const char* onText, const char* offText, BOOL repaint)
{
    m_onText = onText;
    m_offText = offText;
    if (repaint && GetSafeHwnd())
        Invalidate();
}

void CLampButton::OnTimer(UINT_PTR)
{
    m_blinkPhase = !m_blinkPhase;
    Invalidate();
}

void CLampButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* dc = drawItem ? drawItem->hDC : nullptr;
    if (!dc)
        return;
    const BOOL lit = m_blinkMode <= 0 ? m_on : (m_on && m_blinkPhase);
    COLORREF face = lit ? m_onFaceColor : m_offFaceColor;
    const COLORREF textColor = lit ? m_onTextColor : m_offTextColor;
    CString text = lit ? m_onText : m_offText;
    if (drawItem->itemState & ODS_SELECTED)
        face = ScaleColorPercent(face, 120.0f);
    if (text.IsEmpty())
        GetWindowText(text);

    CRect rect(drawItem->rcItem);
    rect.DeflateRect(1, 1);
    CRgn clip;
    clip.CreateRoundRectRgn(rect.left, rect.top, rect.right, rect.bottom, 5, 5);
    dc->SelectClipRgn(&clip);
    DrawGradientRect(ScaleColorPercent(face, 70.0f), face, dc, rect.left, rect.top, rect.right, rect.bottom);
    dc->SelectClipRgn(nullptr);

    CPen grey(PS_SOLID, 1, 0x707070);
    CPen* oldPen = dc->SelectObject(&grey);
    CGdiObject* oldBrush = dc->SelectStockObject(NULL_BRUSH);
    dc->RoundRect(rect.left, rect.top, rect.right, rect.bottom, 5, 5);
    dc->SelectObject(oldPen);
    dc->SelectObject(static_cast<CBrush*>(oldBrush));

    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = dc->SetTextColor(textColor);
    dc->DrawText(text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
}
