#include "Accelerators.h"

#include <QKeySequence>
#include <QShortcut>

#include "CmdUI.h"
#include "ResourceText.h"
#include "WndImpl.h"

BOOL AfxRunEnabledCommand(CWnd* window, UINT id)
{
    if (!window || !window->GetSafeHwnd())
        return FALSE;
    CCmdUI ui(id);
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

BOOL CAcceleratorTable::Install(CWnd* window) const
{
    CWndImpl* impl = window ? window->GetImpl() : nullptr;
    if (!impl || !impl->widget)
        return FALSE;
    for (const Entry& entry : m_entries) {
        auto* shortcut = new QShortcut(QKeySequence(kvui::ToQ(entry.key)), impl->widget);
        shortcut->setContext(Qt::WindowShortcut);
        const UINT id = entry.id;
        QObject::connect(shortcut, &QShortcut::activated, shortcut, [window, id]() { AfxRunEnabledCommand(window, id); });
    }
    return TRUE;
}

CString CAcceleratorTable::KeyOf(UINT commandId) const
{
    for (const Entry& entry : m_entries)
        if (entry.id == commandId)
            return entry.key;
    return CString();
}
