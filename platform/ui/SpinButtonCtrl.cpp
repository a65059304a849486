#include "SpinButtonCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "ControlWidgets.h"

namespace {
kvui::KvUpDown* UpDown(const CWnd* wnd) { return WidgetAs<kvui::KvUpDown>(wnd); }
}

BOOL CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Spin), "", style | WS_CHILD, rect, parent, id);
}

void CSpinButtonCtrl::SetRange32(int lower, int upper)
{
    if (auto* spin = UpDown(this)) {
        spin->lower = lower;
        spin->upper = upper;
    }
}

void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const
{
    auto* spin = UpDown(this);
    lower = spin ? spin->lower : 0;
    upper = spin ? spin->upper : 0;
}

int CSpinButtonCtrl::SetPos(int position)
{
    auto* spin = UpDown(this);
    if (!spin)
        return 0;
    const int old = spin->position;
    spin->position = std::clamp(position, std::min(spin->lower, spin->upper), std::max(spin->lower, spin->upper));
    if (spin->buddy && (GetStyle() & UDS_SETBUDDYINT)) {
        CString text;
        text.Format("%d", spin->position);
        spin->buddy->SetWindowText(text);
    }
    return old;
}

int CSpinButtonCtrl::GetPos() const
{
    auto* spin = UpDown(this);
    if (!spin)
        return 0;
    if (spin->buddy && (GetStyle() & UDS_SETBUDDYINT)) {
        CString text;
        spin->buddy->GetWindowText(text);
        return std::atoi(text);
    }
    return spin->position;
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy)
{
    auto* spin = UpDown(this);
    if (!spin)
        return nullptr;
    CWnd* old = spin->buddy;
    spin->buddy = buddy;
    return old;
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    auto* spin = UpDown(this);
    return spin ? spin->buddy : nullptr;
}

namespace kvui {

void KvUpDown::Step(int delta)
{
    if (!impl || !impl->wnd)
        return;
    auto* self = static_cast<CSpinButtonCtrl*>(impl->wnd);
    const int current = self->GetPos();
    NMUPDOWN note{};
    note.hdr.code = UDN_DELTAPOS;
    note.iPos = current;
    note.iDelta = delta;
    if (impl->NotifyParent(note.hdr) != 0)
        return;  // the parent refused the step
    const int next = std::clamp(current + note.iDelta, std::min(lower, upper), std::max(lower, upper));
    self->SetPos(next);
    if (CWnd* parent = self->GetParent())
        AfxCallWndProc(parent, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(next)),
                       reinterpret_cast<LPARAM>(self));
}

void KvUpDown::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int h = height() / 2;
    QStyleOption option;
    option.initFrom(this);
    option.rect = QRect(0, 0, width(), h);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowUp, &option, &p, this);
    option.rect = QRect(0, h, width(), height() - h);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &option, &p, this);
}

void KvUpDown::mousePressEvent(QMouseEvent* event)
{
    // The upper half counts up; a range given high-to-low counts the other way.
    const int direction = lower <= upper ? 1 : -1;
    Step(event->position().y() < height() / 2.0 ? direction : -direction);
}

}  // namespace kvui
