// CGlobalMouseHookClient: told of every mouse press, release and move in the
// program's windows, wherever it lands. A client leaves the hook when it goes.
#pragma once

#include "platform/ui/UiTypes.h"

class CGlobalMouseHookClient {
public:
    virtual ~CGlobalMouseHookClient();
    // `point` packs the screen position as (x << 16) | (y & 0xFFFF).
    virtual LRESULT OnGlobalMouseEvent(UINT message, LPARAM point) = 0;
};
