// Private to the window layer: how a chosen menu item reaches its window.
#pragma once

#include <functional>

class QWidget;

namespace kvui {
// Runs the command once the menu that chose it has closed and left the stack: a
// command that opens a modal loop may rebuild or clear that menu (a window or
// the link closing), which would otherwise free it under its own feet. Dropped
// when the context goes first.
void RunAfterMenu(QWidget* context, std::function<void()> command);
// Runs the commands chosen so far now, as a test or script that chose an item expects.
void RunChosenMenuCommands();
}  // namespace kvui
