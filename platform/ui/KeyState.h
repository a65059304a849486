// GetKeyState: whether Shift, Ctrl or Alt is held, as the key or mouse event
// being delivered now says (the toolkit's idea of the keyboard otherwise), so a
// handler of WM_KEYDOWN can tell Ctrl+Tab from Tab.
#pragma once

#include "platform/core/WinTypes.h"

// The high bit is set while the key is down; only VK_SHIFT, VK_CONTROL and VK_MENU are known.
SHORT GetKeyState(int virtualKey);
