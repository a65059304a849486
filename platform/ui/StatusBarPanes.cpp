// Pane styles of the status bar: borders, and panes the owner paints.
#include <QLabel>
#include <QPaintEvent>

#include "ControlWidgets.h"
#include "DCImpl.h"
#include "StatusBar.h"

namespace {
kvui::KvStatusBar* Bar(const CWnd* wnd) { return WidgetAs<kvui::KvStatusBar>(wnd); }

// A pane that hands its painting to the status bar's DrawItem.
class OwnerDrawPane : public QLabel {
public:
    OwnerDrawPane(QWidget* parent, CStatusBar* owner, int index) : QLabel(parent), m_owner(owner), m_index(index) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        CDC dc;
        dc.GetImpl()->BeginOn(this);
        if (dc.GetImpl()->painter)
            dc.GetImpl()->painter->setFont(font());
        DRAWITEMSTRUCT item{};
        item.CtlID = m_owner->GetDlgCtrlID();
        item.itemID = static_cast<UINT>(m_index);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = m_owner;
        item.hDC = &dc;
        item.rcItem = RECT{0, 0, width(), height()};
        m_text = kvui::FromQ(text());
        item.itemData = reinterpret_cast<DWORD_PTR>(m_text.GetString());
        m_owner->DrawItem(&item);
        dc.GetImpl()->End();
    }

private:
    CStatusBar* m_owner;
    int m_index;
    CString m_text;
};
}  // namespace

void CStatusBar::SetPaneStyle(int index, UINT style)
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!bar || index < 0 || index >= static_cast<int>(bar->panes.size()))
        return;
    m_styles.resize(bar->panes.size(), 0);
    const size_t i = static_cast<size_t>(index);
    const bool ownerDrawn = dynamic_cast<OwnerDrawPane*>(bar->panes[i]) != nullptr;
    if ((style & SBT_OWNERDRAW) && !ownerDrawn) {
        auto* pane = new OwnerDrawPane(bar, this, index);
        pane->setText(bar->panes[i]->text());
        delete bar->panes[i];
        bar->panes[i] = pane;
        pane->show();
    }
    bar->panes[i]->setFrameStyle((style & SBPS_NOBORDERS) ? QFrame::NoFrame : (QFrame::Panel | QFrame::Sunken));
    m_styles[i] = style;
    if (style & SBPS_STRETCH)
        bar->widths[i] = -1;
    bar->Layout();
}

UINT CStatusBar::GetPaneStyle(int index) const
{
    return index >= 0 && index < static_cast<int>(m_styles.size()) ? m_styles[static_cast<size_t>(index)] : 0;
}

void CStatusBar::GetItemRect(int index, LPRECT rect) const
{
    kvui::KvStatusBar* bar = Bar(this);
    if (!rect)
        return;
    *rect = RECT{0, 0, 0, 0};
    if (!bar || index < 0 || index >= static_cast<int>(bar->panes.size()))
        return;
    const QRect r = bar->panes[static_cast<size_t>(index)]->geometry();
    *rect = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}
