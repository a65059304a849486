#include "ProgressCtrl.h"

#include <QProgressBar>

#include "WndImpl.h"

namespace {
QProgressBar* Bar(const CWnd* wnd) { return WidgetAs<QProgressBar>(wnd); }
}

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Progress), "", style | WS_CHILD, rect, parent, id);
}

void CProgressCtrl::SetRange32(int lower, int upper)
{
    if (QProgressBar* bar = Bar(this))
        bar->setRange(lower, std::max(lower, upper));
}

void CProgressCtrl::GetRange(int& lower, int& upper) const
{
    QProgressBar* bar = Bar(this);
    lower = bar ? bar->minimum() : 0;
    upper = bar ? bar->maximum() : 0;
}

int CProgressCtrl::SetPos(int position)
{
    QProgressBar* bar = Bar(this);
    if (!bar)
        return 0;
    const int old = GetPos();
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const
{
    QProgressBar* bar = Bar(this);
    return bar ? std::max(bar->minimum(), bar->value()) : 0;
}

int CProgressCtrl::OffsetPos(int delta) { return SetPos(GetPos() + delta); }

int CProgressCtrl::SetStep(int step)
{
    const int old = m_step;
    m_step = step;
    return old;
}

int CProgressCtrl::StepIt()
{
    QProgressBar* bar = Bar(this);
    if (!bar)
        return 0;
    int next = GetPos() + m_step;
    if (next > bar->maximum())
        next = bar->minimum() + (next - bar->maximum());  // wraps, as the original did
    return SetPos(next);
}
