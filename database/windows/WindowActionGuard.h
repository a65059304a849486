// CWindowActionGuard: keeps a window from starting a second action while one
// waits on the network and the GUI thread goes on handling its messages. The
// window's controls stay disabled for the action's run, and a close asked for
// meanwhile is kept until the action has ended: closing in the middle would
// pull the window from under the code still waiting in it.
#pragma once

#include <functional>
#include <vector>

class CWnd;

class CWindowActionGuard {
public:
    // The window and the controls that an action disables.
    CWindowActionGuard(CWnd& window, std::vector<int> controls);

    bool IsBusy() const { return m_busy; }
    // Runs the action with the controls disabled, enabling them again after
    // while the window still exists; false, and nothing run, while another runs.
    bool Run(const std::function<void()>& action);
    // A close asked for now: true when it has to wait for the running action
    // (kept for TakePostponedClose), false when the window may close at once.
    bool PostponeClose();
    // Whether a close waited for the action that just ended; clears it.
    bool TakePostponedClose();

private:
    void EnableControls(bool enable);

    CWnd& m_window;
    std::vector<int> m_controls;
    bool m_busy = false;
    bool m_closeAsked = false;
};
