#include "ToolBar.h"

#include <QToolButton>

#include "ControlWidgets.h"

namespace {
kvui::KvToolBar* Bar(const CWnd* wnd) { return WidgetAs<kvui::KvToolBar>(wnd); }
constexpr int kGap = 8;
}  // namespace

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id)
{
    CRect rect(0, 0, 200, 28);
    if (parent)
        parent->GetClientRect(&rect);
    rect.bottom = rect.top + 28;
    return CreateControl(static_cast<int>(ControlKind::ToolBar), "", style | WS_CHILD, rect, parent, id);
}

BOOL CToolBar::SetButtons(const UINT* ids, const char* const* captions, int count)
{
    kvui::KvToolBar* bar = Bar(this);
    if (!bar || (count > 0 && !ids))
        return FALSE;
    for (auto& item : bar->items)
        delete item.button;
    bar->items.clear();
    for (int i = 0; i < count; ++i) {
        if (ids[i] == ID_SEPARATOR) {
            bar->items.push_back({0, kGap, nullptr});
            continue;
        }
        auto* button = new QToolButton(bar);
        button->setText(captions ? kvui::ToQ(captions[i]) : QString::number(ids[i]));
        const UINT id = ids[i];
        QObject::connect(button, &QToolButton::clicked, bar, [bar, id]() {
            CWnd* self = bar->impl ? bar->impl->wnd : nullptr;
            CWnd* parent = self ? self->GetParent() : nullptr;
            if (parent)
                AfxCallWndProc(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(self));
        });
        button->show();
        bar->items.push_back({id, 0, button});
    }
    bar->Layout();
    return TRUE;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int width)
{
    kvui::KvToolBar* bar = Bar(this);
    if (!bar || index < 0 || index >= static_cast<int>(bar->items.size()))
        return;
    auto& item = bar->items[static_cast<size_t>(index)];
    if (style & TBBS_SEPARATOR) {
        delete item.button;
        item.button = nullptr;
        item.width = width;
    }
    item.id = id;
    bar->Layout();
}

void CToolBar::GetItemRect(int index, LPRECT rect) const
{
    kvui::KvToolBar* bar = Bar(this);
    if (!bar || !rect)
        return;
    int x = 2;
    for (int i = 0; i < static_cast<int>(bar->items.size()); ++i) {
        const auto& item = bar->items[static_cast<size_t>(i)];
        const int width = kvui::KvToolBar::WidthOf(item);
        if (i == index) {
            *rect = RECT{x, 2, x + width, bar->height() - 2};
            return;
        }
        x += width + 1;
    }
    *rect = RECT{0, 0, 0, 0};
}

int CToolBar::CommandToIndex(UINT id) const
{
    kvui::KvToolBar* bar = Bar(this);
    if (!bar)
        return -1;
    for (size_t i = 0; i < bar->items.size(); ++i)
        if (bar->items[i].id == id)
            return static_cast<int>(i);
    return -1;
}

int CToolBar::GetCount() const { return Bar(this) ? static_cast<int>(Bar(this)->items.size()) : 0; }

void CToolBar::EnableButton(UINT id, BOOL enable)
{
    kvui::KvToolBar* bar = Bar(this);
    const int index = CommandToIndex(id);
    if (bar && index >= 0 && bar->items[static_cast<size_t>(index)].button)
        bar->items[static_cast<size_t>(index)].button->setEnabled(enable != FALSE);
}

BOOL CToolBar::IsButtonEnabled(UINT id) const
{
    kvui::KvToolBar* bar = Bar(this);
    const int index = CommandToIndex(id);
    return bar && index >= 0 && bar->items[static_cast<size_t>(index)].button &&
           bar->items[static_cast<size_t>(index)].button->isEnabled();
}

void kvui::KvToolBar::Layout()
{
    int x = 2;
    for (auto& item : items) {
        const int width = WidthOf(item);
        if (item.button) {
            // A button with neither picture nor caption would show as an empty frame.
            item.button->setVisible(width > 0);
            item.button->setGeometry(x, 2, width, std::max(0, height() - 4));
        }
        x += width + 1;
    }
}

int kvui::KvToolBar::WidthOf(const Item& item)
{
    if (!item.button)
        return item.width;
    if (item.button->text().isEmpty() && item.button->icon().isNull())
        return 0;
    return item.button->sizeHint().width();
}
