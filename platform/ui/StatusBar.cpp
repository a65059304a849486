#include "StatusBar.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "ControlWidgets.h"
#include "KeyState.h"

namespace {
kvui::KvStatusBar* Bar(const CWnd* wnd) { return WidgetAs<kvui::KvStatusBar>(wnd); }

constexpr UINT kCapsIndicator = 0xE701;
constexpr UINT kNumIndicator = 0xE702;
constexpr UINT kScrollIndicator = 0xE703;
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
    bar->keysChanged = [this]() { ShowLockKeys(); };
    bar->Layout();
    ShowLockKeys();
    return TRUE;
}

void CStatusBar::ShowLockKeys()
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar)
        return;
    for (size_t i = 0; i < m_ids.size() && i < bar->panes.size(); ++i) {
        if (i < m_styles.size() && (m_styles[i] & SBT_OWNERDRAW))
            continue;  // the owner paints it: the indicator id is only borrowed
        const char* name = m_ids[i] == kCapsIndicator     ? "CAP"
                           : m_ids[i] == kNumIndicator    ? "NUM"
                           : m_ids[i] == kScrollIndicator ? "SCRL"
                                                          : nullptr;
        const int key = m_ids[i] == kCapsIndicator ? VK_CAPITAL : m_ids[i] == kNumIndicator ? VK_NUMLOCK : VK_SCROLL;
        if (name)
            bar->panes[i]->setText((GetKeyState(key) & 1) ? name : "");
    }
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

kvui::KvStatusBar::KvStatusBar(QWidget* parent) : QWidget(parent) { qApp->installEventFilter(this); }

bool kvui::KvStatusBar::eventFilter(QObject*, QEvent* event)
{
    // Looked at once the key has been delivered and the lock state has followed it.
    if (event->type() == QEvent::KeyPress && keysChanged)
        QTimer::singleShot(0, this, [this]() {
            if (keysChanged)
                keysChanged();
        });
    return false;
}
