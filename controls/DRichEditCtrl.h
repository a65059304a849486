// CDRichEditCtrl: a rich edit that inserts formatted (and optionally
// protected) text, and knows whether it has the focus and whether text is
// being inserted or copied right now.
#pragma once

#include "platform/ui/RichEditCtrl.h"

class CDRichEditCtrl : public CRichEditCtrl {
public:
    CDRichEditCtrl();

    void InitCharFormat(int pointSize);
    // Replaces the selection (at the caret: inserts) with the text in the stored format.
    void AppendText(const char* text, BOOL protect);

    BOOL m_inserting = TRUE;  // FALSE while text is inserted or copied
    CHARFORMAT m_charFormat;
    BOOL m_hasFocus = FALSE;

protected:
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnSetFocusNotify();
    void OnKillFocusNotify();
    DECLARE_MESSAGE_MAP()
};
