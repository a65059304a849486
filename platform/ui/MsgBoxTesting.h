// For window tests: where a real (not scripted) message box came up, and whose it was.
#pragma once

#include "Rect.h"
#include "Wnd.h"

namespace kvtest {
struct ShownBox {
    CRect where;           // screen pixels, frame included
    CWnd* owner = nullptr;  // the window the box belongs to (null: none)
    bool minMaxButtons = false;
};
// The next box shown is answered with `answer` (IDYES ...) as soon as it is up,
// and described in `shown`.
void AnswerNextShownBox(int answer, ShownBox* shown);
}  // namespace kvtest
