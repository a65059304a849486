// CWindowPlacement: a window's placement kept in the profile (section
// "WINDOWPOS.<class>[.<suffix>]") or in a layout archive, with the screen it
// was saved on, so it can be rescaled to the present screen on restore.
#pragma once

#include "platform/core/Archive.h"
#include "platform/core/String.h"
#include "platform/ui/Wnd.h"

class CWindowPlacement : public WINDOWPLACEMENT {
public:
    CWindowPlacement();
    virtual ~CWindowPlacement() = default;

    BOOL SaveToProfile(CWnd* window, const char* suffix);
    BOOL RestoreFromProfile(BOOL keepSize, CWnd* window, const char* suffix, BOOL apply);
    BOOL SaveToArchive(CWnd* window, CArchive& archive);
    BOOL LoadFromArchive(BOOL keepSize, CWnd* window, CArchive& archive, int version, BOOL apply);
    // Whether the last restore found a saved place and moved the window there.
    bool WasApplied() const { return m_applied; }
    // Moves the stored positions from the saved screen to the present one.
    void Rescale();
    static CString ProfileSection(const CWnd* window, const char* suffix);

    int m_rescale = 0;
    bool m_applied = false;
    int m_savedScreenWidth = 0;
    int m_savedScreenHeight = 0;
    int m_savedMonitorCount = 0;

private:
    void Finish(BOOL keepSize, CWnd* window, BOOL apply);
};
