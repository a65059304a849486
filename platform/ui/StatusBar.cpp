#include "StatusBar.h"

#include <QLabel>

#include "ControlWidgets.h"

namespace {
kvui::KvStatusBar* Bar(const CWnd* wnd) { return WidgetAs<kvui::KvStatusBar>(wnd); }
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    CRect rect(0, 0, 200, 20);
    if (parent) {
        parent->GetClientRect(&rect);
        rect.top = rect.bottom - 20;
    }
    return CreateControl(static_cast<int>(ControlKind::StatusBar), "", style | WS_CHILD, rect, parent, id);
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count)
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar || (count > 0 && !ids))
        return FALSE;
    for (QLabel* pane : bar->panes)
        delete pane;
    bar->panes.clear();
    bar->widths.clear();
    m_ids.assign(ids, ids + count);
    for (int i = 0; i < count; ++i) {
        auto* pane = new QLabel(bar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->show();
        bar->panes.push_back(pane);
        bar->widths.push_back(i == 0 ? -1 : 80);  // the first pane stretches
    }
    bar->Layout();
    return TRUE;
}

BOOL CStatusBar::SetPaneText(int index, LPCSTR text, BOOL /*update*/)
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar || index < 0 || index >= static_cast<int>(bar->panes.size()))
        return FALSE;
    bar->panes[static_cast<size_t>(index)]->setText(kvui::ToQ(text));
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar || index < 0 || index >= static_cast<int>(bar->panes.size()))
        return CString();
    return kvui::FromQ(bar->panes[static_cast<size_t>(index)]->text());
}

void CStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width)
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar || index < 0 || index >= static_cast<int>(bar->panes.size()))
        return;
    m_ids[static_cast<size_t>(index)] = id;
    bar->widths[static_cast<size_t>(index)] = (style & SBPS_STRETCH) ? -1 : width;
    bar->Layout();
}

int CStatusBar::CommandToIndex(UINT id) const
{
    for (size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == id)
            return static_cast<int>(i);
    return -1;
}

int CStatusBar::GetCount() const { return static_cast<int>(m_ids.size()); }

void kvui::KvStatusBar::Layout()
{
    int fixed = 0;
    int stretching = 0;
    for (int w : widths) {
        if (w < 0) ++stretching;
        else fixed += w;
    }
    const int rest = stretching ? std::max(0, width() - fixed) / stretching : 0;
    int x = 0;
    for (size_t i = 0; i < panes.size(); ++i) {
        const int w = widths[i] < 0 ? rest : widths[i];
        panes[i]->setGeometry(x, 0, w, height());
        x += w;
    }
}

void kvui::KvStatusBar::resizeEvent(QResizeEvent*) { Layout(); }
