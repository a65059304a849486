#include "DlgScroller.h"

#include <algorithm>

#include "foundation/WindowHelpers.h"

namespace {
// The desktop's scroll bar and frame metrics.
constexpr int kCxVScroll = 2;
constexpr int kCyHScroll = 3;
constexpr int kCySize = 31;
constexpr int kCyFrame = 33;
constexpr int kLineStep = 1;
constexpr int kPageStep = 50;
}  // namespace

void CDlgScroller::Setup(CWnd* window, bool horizontal, bool vertical, int widthLimit, int heightLimit, CWnd* fixed)
{
    m_window = window;
    m_fixed = fixed;
    m_horizontal = horizontal;
    m_vertical = vertical;
    m_extent = GetChildrenBoundingRect(window);
    if (widthLimit != -1)
        m_extent.right = std::min(m_extent.right, m_extent.left + widthLimit);
    if (heightLimit != -1)
        m_extent.bottom = std::min(m_extent.bottom, m_extent.top + heightLimit);
    m_h = Bar{};
    m_v = Bar{};
    m_h.max = m_v.max = 1000;
    m_maxTrack = CSize(2 * GetSystemMetrics(kCyFrame) + GetSystemMetrics(kCxVScroll) + m_extent.Width(),
                       GetSystemMetrics(kCyFrame) + GetSystemMetrics(kCySize) + GetSystemMetrics(kCyHScroll) +
                           m_extent.Height());
    m_last = CPoint(0, 0);
}

void CDlgScroller::UpdateBars(const CRect& client)
{
    const auto update = [](Bar& bar, int extent, int clientSize) {
        const int overflow = std::max(0, extent - clientSize);
        bar.max = overflow + extent / 2;
        bar.page = extent / 2;
        bar.visible = overflow > 0;
        bar.pos = std::clamp(bar.pos, 0, std::max(0, bar.max - std::max(bar.page - 1, 0)));
    };
    if (m_horizontal)
        update(m_h, m_extent.Width(), client.Width());
    if (m_vertical)
        update(m_v, m_extent.Height(), client.Height());
}

void CDlgScroller::ApplyPosition()
{
    const int dx = m_last.x - m_h.pos;
    const int dy = m_last.y - m_v.pos;
    m_last = CPoint(m_h.pos, m_v.pos);
    if ((dx == 0 && dy == 0) || !m_window)
        return;
    for (CWnd* child = m_window->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        if (child == m_fixed)
            continue;
        CRect rect;
        child->GetWindowRect(&rect);
        m_window->ScreenToClient(&rect);
        child->MoveWindow(rect.left + dx, rect.top + dy, rect.Width(), rect.Height(), TRUE);
    }
}

void CDlgScroller::SetPosition(bool vertical, int pos)
{
    Bar& bar = vertical ? m_v : m_h;
    bar.pos = std::clamp(pos, 0, std::max(0, bar.max - std::max(bar.page - 1, 0)));
}

bool CDlgScroller::OnScroll(bool vertical, UINT code, UINT thumbPosition)
{
    const Bar& bar = vertical ? m_v : m_h;
    int pos = bar.pos;
    switch (code) {
    case SB_LINEUP: pos -= kLineStep; break;
    case SB_LINEDOWN: pos += kLineStep; break;
    case SB_PAGEUP: pos -= kPageStep; break;
    case SB_PAGEDOWN: pos += kPageStep; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = static_cast<int>(thumbPosition); break;
    default: return false;
    }
    SetPosition(vertical, pos);
    ApplyPosition();
    return true;
}
