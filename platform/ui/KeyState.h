// GetKeyState: whether Shift, Ctrl or Alt is held, as the key or mouse event
// being delivered now says (the toolkit's idea of the keyboard otherwise), so a
// handler of WM_KEYDOWN can tell Ctrl+Tab from Tab.
#pragma once

#include "platform/core/WinTypes.h"

// The high bit is set while the key is down; only VK_SHIFT, VK_CONTROL and VK_MENU are known.
// For VK_CAPITAL, VK_NUMLOCK and VK_SCROLL the low bit is set while the lock is on, as the
// keys pressed in the program's windows left it.
SHORT GetKeyState(int virtualKey);

constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
