// CKVStatusBar: the main frame's status bar, whose pane 4 is the
// communication lamp: "Comm Status:" and a coloured box, refreshed on its own
// 500 ms timer (timer 0) from the communication status, blinking red while
// all drives are lost.
#pragma once

#include <functional>

#include "platform/ui/StatusBar.h"

class CKVStatusBar : public CStatusBar {
public:
    static constexpr int kLampPane = 4;
    static constexpr UINT kTimerId = 0;
    static constexpr UINT kTimerMs = 500;

    // Where the tick reads the communication status (under the application's status lock).
    void SetStatusSource(std::function<int()> source) { m_source = std::move(source); }
    // The lamp's colour for a status and blink phase.
    static COLORREF LampColour(int status, int blinkPhase);

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void OnTimer(UINT_PTR id);
    // The alert buttons are children of the bar; their commands go to the frame.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int GetCommStatus() const { return m_commStatus; }
    int GetBlinkPhase() const { return m_blink; }

private:
    std::function<int()> m_source;
    int m_commStatus = 0;
    int m_blink = 0;

    DECLARE_MESSAGE_MAP()
};
