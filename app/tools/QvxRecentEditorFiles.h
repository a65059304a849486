// CQvxRecentEditorFiles: the editor files used last, most recent first, kept
// in the profile section "RECENTEDITORFILES" and shown as the recent-files
// submenu with one command id per entry.
#pragma once

#include "platform/core/Collections.h"

class CMenu;

class CQvxRecentEditorFiles : public CStringList {
public:
    static constexpr const char* kSection = "RECENTEDITORFILES";

    void SetFirstId(UINT id) { m_firstId = id; }
    UINT GetFirstId() const { return m_firstId; }
    void SetMaximum(int count);
    int GetMaximum() const { return m_maximum; }

    // Puts the path at the head; with `move`, an equal entry leaves first.
    void Add(const char* path, int move = 1);
    void Save() const;
    void Load();
    // Refills the submenu: one item per entry, or a greyed "<no recent files>".
    void FillMenu(CMenu& menu) const;
    // The entry of a command id of the range; empty outside it.
    CString GetEntry(UINT id) const;

private:
    void Trim();
    UINT m_firstId = 10124;
    int m_maximum = 6;
};
