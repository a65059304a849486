// CTerminalResponseEdit: the terminal's read-only reply view. A printable key
// typed into it is handed to the terminal's command box instead, so the user
// can start typing wherever the focus is.
#pragma once

#include <deque>

#include "platform/ui/MessageMap.h"
#include "platform/ui/RichEditCtrl.h"

constexpr UINT kTerminalTypedCharCommand = 11000;

class CTerminalResponseEdit : public CRichEditCtrl {
public:
    // The oldest typed character not yet taken (one a posted command), 0 when none.
    char TakeTypedChar();
    void OnChar(UINT ch, UINT repeat, UINT flags);

private:
    std::deque<char> m_typed;

    DECLARE_MESSAGE_MAP()
};
