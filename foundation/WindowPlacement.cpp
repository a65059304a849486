#include "WindowPlacement.h"

#include "platform/core/Exception.h"
#include "platform/core/Profile.h"

namespace {
// The profile's keys, in the order they are written.
LONG* Field(CWindowPlacement& p, int index)
{
    switch (index) {
    case 0: return &p.rcNormalPosition.left;
    case 1: return &p.rcNormalPosition.top;
    case 2: return &p.rcNormalPosition.right;
    case 3: return &p.rcNormalPosition.bottom;
    case 4: return &p.ptMinPosition.x;
    case 5: return &p.ptMinPosition.y;
    case 6: return &p.ptMaxPosition.x;
    default: return &p.ptMaxPosition.y;
    }
}

const char* const kKeys[] = {"NormalPosition_left", "NormalPosition_top", "NormalPosition_right",
                             "NormalPosition_bottom", "MinPosition_x", "MinPosition_y",
                             "MaxPosition_x", "MaxPosition_y"};

LONG Scale(LONG value, int present, int saved)
{
    return static_cast<LONG>(static_cast<long long>(value) * present / saved);
}
}  // namespace

CWindowPlacement::CWindowPlacement() : WINDOWPLACEMENT{}
{
    length = sizeof(WINDOWPLACEMENT);
}

CString CWindowPlacement::ProfileSection(const CWnd* window, const char* suffix)
{
    CString section;
    section.Format("%s.%s", "WINDOWPOS", window ? window->GetRuntimeClassName().GetString() : "");
    if (suffix && *suffix) {
        section += ".";
        section += suffix;
    }
    return section;
}

BOOL CWindowPlacement::SaveToProfile(CWnd* window, const char* suffix)
{
    if (!window || !window->GetWindowPlacement(this))
        return FALSE;
    const CString section = ProfileSection(window, suffix);
    for (int i = 0; i < 8; ++i)
        AfxWriteProfileInt(section, kKeys[i], *Field(*this, i));
    AfxWriteProfileInt(section, "ShowCmd", static_cast<int>(showCmd));
    AfxWriteProfileInt(section, "ScreenSize_x", GetSystemMetrics(SM_CXVIRTUALSCREEN));
    AfxWriteProfileInt(section, "ScreenSize_y", GetSystemMetrics(SM_CYVIRTUALSCREEN));
    AfxWriteProfileInt(section, "MonitorCnt", GetSystemMetrics(SM_CMONITORS));
    return TRUE;
}

BOOL CWindowPlacement::RestoreFromProfile(BOOL keepSize, CWnd* window, const char* suffix, BOOL apply)
{
    const CString section = ProfileSection(window, suffix);
    for (int i = 0; i < 8; ++i)
        *Field(*this, i) = static_cast<LONG>(static_cast<int>(AfxGetProfileInt(section, kKeys[i], 0)));
    showCmd = AfxGetProfileInt(section, "ShowCmd", 0);
    m_savedScreenWidth = static_cast<int>(AfxGetProfileInt(section, "ScreenSize_x", 0));
    m_savedScreenHeight = static_cast<int>(AfxGetProfileInt(section, "ScreenSize_y", 0));
    m_savedMonitorCount = static_cast<int>(AfxGetProfileInt(section, "MonitorCnt", 0));
    Finish(keepSize, window, apply);
    return TRUE;
}

BOOL CWindowPlacement::SaveToArchive(CWnd* window, CArchive& archive)
{
    if (!archive.IsStoring() || !window || !window->GetWindowPlacement(this))
        return FALSE;
    try {
        archive.Write(static_cast<WINDOWPLACEMENT*>(this), sizeof(WINDOWPLACEMENT));
        archive << static_cast<int>(GetSystemMetrics(SM_CXVIRTUALSCREEN));
        archive << static_cast<int>(GetSystemMetrics(SM_CYVIRTUALSCREEN));
        archive << static_cast<BYTE>(GetSystemMetrics(SM_CMONITORS));
    } catch (const CArchiveException&) {
        return FALSE;
    } catch (const CFileException&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CWindowPlacement::LoadFromArchive(BOOL keepSize, CWnd* window, CArchive& archive, int version, BOOL apply)
{
    if (!archive.IsLoading())
        return FALSE;
    WINDOWPLACEMENT record{};
    int width = 0, height = 0;
    BYTE monitors = 0;
    try {
        if (version <= 0) {
            DWORD leading = 0;
            archive >> leading;
        }
        archive.ReadExact(&record, sizeof record);
        if (version > 0)
            archive >> width >> height >> monitors;
    } catch (const CArchiveException&) {
        return FALSE;  // a short or damaged layout moves nothing
    } catch (const CFileException&) {
        return FALSE;
    }
    static_cast<WINDOWPLACEMENT&>(*this) = record;
    m_savedScreenWidth = width;
    m_savedScreenHeight = height;
    m_savedMonitorCount = monitors;
    Finish(keepSize, window, apply);
    return TRUE;
}

void CWindowPlacement::Finish(BOOL keepSize, CWnd* window, BOOL apply)
{
    length = sizeof(WINDOWPLACEMENT);
    flags = 1;
    // Judged before keepSize lends the rectangle the window's size: nothing saved stays nothing.
    const bool saved = rcNormalPosition.left != 0 || rcNormalPosition.top != 0 || rcNormalPosition.right != 0 ||
                       rcNormalPosition.bottom != 0;
    if (keepSize && window) {
        CRect present;
        window->GetWindowRect(&present);
        rcNormalPosition.right = rcNormalPosition.left + present.Width();
        rcNormalPosition.bottom = rcNormalPosition.top + present.Height();
    }
    if (m_rescale)
        Rescale();
    // Only a rectangle with a size is applied; a damaged profile must not shrink the window away.
    const bool hasSize = rcNormalPosition.right > rcNormalPosition.left && rcNormalPosition.bottom > rcNormalPosition.top;
    m_applied = apply && window && saved && hasSize;
    if (m_applied)
        window->SetWindowPlacement(this);
}

void CWindowPlacement::Rescale()
{
    if (m_savedScreenWidth < 1 || m_savedScreenHeight < 1)
        return;
    const bool oneMonitor = m_savedMonitorCount == 1;
    const int width = GetSystemMetrics(oneMonitor ? SM_CXSCREEN : SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(oneMonitor ? SM_CYSCREEN : SM_CYVIRTUALSCREEN);
    const LONG normalWidth = rcNormalPosition.right - rcNormalPosition.left;
    const LONG normalHeight = rcNormalPosition.bottom - rcNormalPosition.top;
    rcNormalPosition.left = Scale(rcNormalPosition.left, width, m_savedScreenWidth);
    rcNormalPosition.top = Scale(rcNormalPosition.top, height, m_savedScreenHeight);
    rcNormalPosition.right = rcNormalPosition.left + normalWidth;
    rcNormalPosition.bottom = rcNormalPosition.top + normalHeight;
    ptMinPosition.x = Scale(ptMinPosition.x, width, m_savedScreenWidth);
    ptMinPosition.y = Scale(ptMinPosition.y, height, m_savedScreenHeight);
    ptMaxPosition.x = Scale(ptMaxPosition.x, width, m_savedScreenWidth);
    ptMaxPosition.y = Scale(ptMaxPosition.y, height, m_savedScreenHeight);
}
