// Alt+letter on the program's menu bars (MenuBarMnemonicFilter.cpp).
#pragma once

class QMenuBar;

namespace kvui {
// Alt+letter opens the bar's menu with that mnemonic; titles sharing one take turns.
void HandleMenuBarMnemonics(QMenuBar* bar);
}  // namespace kvui
