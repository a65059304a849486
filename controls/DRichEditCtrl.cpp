#include "DRichEditCtrl.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CDRichEditCtrl, CRichEditCtrl)
    ON_WM_CHAR()
    ON_CONTROL_REFLECT(EN_SETFOCUS, &CDRichEditCtrl::OnSetFocusNotify)
    ON_CONTROL_REFLECT(EN_KILLFOCUS, &CDRichEditCtrl::OnKillFocusNotify)
END_MESSAGE_MAP()

CDRichEditCtrl::CDRichEditCtrl()
{
    std::memset(&m_charFormat, 0, sizeof m_charFormat);
    m_charFormat.cbSize = sizeof m_charFormat;
}

void CDRichEditCtrl::InitCharFormat(int pointSize)
{
    m_charFormat.dwMask |= CFM_FACE | CFM_SIZE | CFM_COLOR;
    m_charFormat.dwEffects &= ~CFE_AUTOCOLOR;
    std::strncpy(m_charFormat.szFaceName, "ariel", sizeof m_charFormat.szFaceName - 1);
    m_charFormat.yHeight = pointSize * 20;
    m_charFormat.crTextColor = RGB(0, 0, 0);
}

void CDRichEditCtrl::AppendText(const char* text, BOOL protect)
{
    m_inserting = FALSE;
    if (protect) {
        m_charFormat.dwMask |= CFM_PROTECTED;
        m_charFormat.dwEffects |= CFE_PROTECTED;
    } else {
        m_charFormat.dwMask &= ~CFM_PROTECTED;
        m_charFormat.dwEffects &= ~CFE_PROTECTED;
    }
    long start = 0, end = 0;
    GetSel(start, end);
    ReplaceSel(text, FALSE);
    long caret = 0, unused = 0;
    GetSel(unused, caret);
    SetSel(start, caret);
    if (!protect) {
        // Clearing the mask alone would leave protection inherited from the text before.
        CHARFORMAT unprotect = m_charFormat;
        unprotect.dwMask |= CFM_PROTECTED;
        SetSelectionCharFormat(unprotect);
    } else {
        SetSelectionCharFormat(m_charFormat);
    }
    SetSel(caret, caret);
    m_inserting = TRUE;
}

void CDRichEditCtrl::OnChar(UINT ch, UINT, UINT)
{
    if (ch == 3) {  // Ctrl+C: a copy, not an insertion
        m_inserting = FALSE;
        Default();
        m_inserting = TRUE;
        return;
    }
    Default();
}

void CDRichEditCtrl::OnSetFocusNotify() { m_hasFocus = TRUE; }
void CDRichEditCtrl::OnKillFocusNotify() { m_hasFocus = FALSE; }
