#include "Accelerators.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>
#include <utility>

#include "CmdUI.h"
#include "MdiFrameWnd.h"
#include "ResourceText.h"
#include "WndImpl.h"

BOOL AfxRunEnabledCommand(CWnd* window, UINT id)
{
    if (!window || !window->GetSafeHwnd())
        return FALSE;
    CCmdUI ui(id);
    // A frame routes its updates further (to its children and helpers): ask it as its menu does.
    if (auto* frame = dynamic_cast<CMDIFrameWnd*>(window))
        frame->UpdateCommandUI(ui);
    else
        AfxDoUpdateCmdUI(window, ui);
    if (!ui.m_enabled)
        return FALSE;
    AfxCallWndProc(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 1), 0);
    return TRUE;
}

BOOL CAcceleratorTable::Load(UINT id)
{
    return AfxFindTextResource("acc", "accelerator table", id, Parser(id), m_error) ? TRUE : FALSE;
}

BOOL CAcceleratorTable::LoadFromText(const char* text, UINT id)
{
    return AfxParseTextResource(text, "accelerator table", id, Parser(id), m_error) ? TRUE : FALSE;
}

ResourceParser CAcceleratorTable::Parser(UINT id)
{
    return [this, id](const char* text, bool& found, CString& error) {
        const bool ok = Parse(text, id, found) != FALSE;
        error = m_error;
        return ok;
    };
}

BOOL CAcceleratorTable::Parse(const char* text, UINT id, bool& found)
{
    std::vector<ResourceLine> lines;
    CString error;
    if (!SplitResourceText(text, lines, error)) {
        m_error = error;
        return FALSE;
    }
    bool open = false;
    bool wanted = false;
    std::vector<Entry> entries;
    for (const ResourceLine& line : lines) {
        UINT number = 0;
        if (!open && line.words.size() == 2 && line.words[0] == "ACCELERATORS" && ParseResourceId(line.words[1], number)) {
            open = true;
            wanted = number == id && !found;
            entries.clear();
        } else if (open && line.words.size() == 1 && line.words[0] == "END") {
            open = false;
            if (wanted) {
                m_entries = entries;
                found = true;
            }
        } else if (open && line.words.size() == 2 && ParseResourceId(line.words[1], number) && number != 0) {
            const QKeySequence sequence(kvui::ToQ(line.words[0]));
            if (sequence.isEmpty() || sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
                m_error.Format("line %d: \"%s\" is not a key", line.number, line.words[0].GetString());
                return FALSE;
            }
            entries.push_back({line.words[0], number});
        } else {
            m_error.Format("line %d: expected ACCELERATORS and an id, a quoted key and a command id, or END",
                           line.number);
            return FALSE;
        }
    }
    if (open) {
        m_error = "ACCELERATORS not closed with END";
        return FALSE;
    }
    return TRUE;
}

namespace {
// The table's keys work anywhere in the frame's window while no modal box is up. They are
// taken from the key itself, so they work whichever window the desktop thinks is active;
// other windows keep their own keys (F1 opens their own help).
class AcceleratorFilter : public QObject {
public:
    AcceleratorFilter(CWnd* window, QWidget* widget) : QObject(widget), m_window(window) {}
    void Add(const QKeySequence& key, UINT id) { m_keys.emplace_back(key, id); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(receiver);
        if (!widget || widget->window() != static_cast<QWidget*>(parent())->window() ||
            QApplication::activeModalWidget() || QApplication::activePopupWidget() || key->isAutoRepeat() ||
            !m_window->GetSafeHwnd())
            return false;
        const QKeySequence pressed(key->keyCombination());
        for (const auto& [sequence, id] : m_keys) {
            if (sequence != pressed)
                continue;
            event->accept();
            if (event->type() == QEvent::KeyPress)
                AfxRunEnabledCommand(m_window, id);
            return true;
        }
        return false;
    }

private:
    CWnd* m_window;
    std::vector<std::pair<QKeySequence, UINT>> m_keys;
};
}  // namespace

BOOL CAcceleratorTable::Install(CWnd* window) const
{
    CWndImpl* impl = window ? window->GetImpl() : nullptr;
    if (!impl || !impl->widget)
        return FALSE;
    auto* filter = new AcceleratorFilter(window, impl->widget);
    for (const Entry& entry : m_entries)
        filter->Add(QKeySequence(kvui::ToQ(entry.key)), entry.id);
    qApp->installEventFilter(filter);
    return TRUE;
}

CString CAcceleratorTable::KeyOf(UINT commandId) const
{
    for (const Entry& entry : m_entries)
        if (entry.id == commandId)
            return entry.key;
    return CString();
}
