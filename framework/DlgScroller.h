// CDlgScroller: the scrolling of a drive window's content. The content extent
// is the union of the window's children; each scrolling direction gets a bar
// whose range is the overflow plus half the extent, with half the extent as
// its page, and the children are moved to follow the bars' positions.
// The bars' state is kept here (positions are pixels).
#pragma once

#include "platform/ui/Wnd.h"

class CDlgScroller {
public:
    struct Bar {
        int max = 0;
        int page = 0;
        int pos = 0;
        bool visible = false;
    };

    // The content extent from the children (limits of -1 leave it whole); the
    // bars start hidden at 0. `fixed` (the toolbar) never scrolls.
    void Setup(CWnd* window, bool horizontal, bool vertical, int widthLimit, int heightLimit, CWnd* fixed);
    bool IsScrolling() const { return m_horizontal || m_vertical; }
    bool IsHorizontal() const { return m_horizontal; }
    bool IsVertical() const { return m_vertical; }

    void UpdateBars(const CRect& client);
    // Moves the content by what the positions changed since the last move.
    void ApplyPosition();
    // A scroll bar message; false when only the default handling applies.
    bool OnScroll(bool vertical, UINT code, UINT thumbPosition);
    // Sets a position as a bar would: clamped to what its range and page allow.
    void SetPosition(bool vertical, int pos);

    const Bar& GetBar(bool vertical) const { return vertical ? m_v : m_h; }
    CPoint GetLastPosition() const { return m_last; }
    CSize GetMaxTrackSize() const { return m_maxTrack; }
    const CRect& GetExtent() const { return m_extent; }

private:
    CWnd* m_window = nullptr;
    CWnd* m_fixed = nullptr;
    bool m_horizontal = false;
    bool m_vertical = false;
    CRect m_extent;
    CSize m_maxTrack;
    CPoint m_last;
    Bar m_h;
    Bar m_v;
};
