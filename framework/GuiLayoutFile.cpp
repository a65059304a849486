#include "GuiLayoutFile.h"

#include <exception>

#include "GuiFrameServices.h"
#include "GuiUpdateDlg.h"
#include "GuiUpdateDlgIdMap.h"
#include "GuiUpdateList.h"
#include "comm/link/CommAppServices.h"
#include "controls/QvxFileDialog.h"
#include "distribution/DistManager.h"
#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/File.h"

const char kLayoutFileName[] = "KorvaneLayout.kvl";
const char kLayoutFileFilter[] = "Korvane layout files (*.kvl)|*.kvl||";
const char kLayoutLaterVersionMessage[] =
    "This file was created by a later version of Korvane.  Please update your computer with the latest version of "
    "Korvane.  Load aborted.";
const char kLayoutDroppedMessage[] =
    "Some windows were not opened because they are not compatible with the currently connected drive(s).";
const char kLayoutDamagedMessage[] = "The layout file is damaged or incomplete.  Load aborted.";

namespace {
const char kScopeClassName[] = "CQvxScopeDlg";

CGuiUpdateDlgIdMap* Registry()
{
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    return frame ? frame->GetDlgIdMap() : nullptr;
}

CGuiUpdateItem* ScopeWindow()
{
    CGuiFrameServices* frame = CGuiFrameServices::Get();
    return frame ? frame->GetScopeWindow() : nullptr;
}

// Holds the distribution manager's synchronous access while records are read.
class CSynchronousAccess {
public:
    CSynchronousAccess() : m_dist(CDistManager::GetInstalled())
    {
        if (m_dist)
            m_dist->BeginSynchronousAccess();
    }
    ~CSynchronousAccess()
    {
        if (m_dist)
            m_dist->EndSynchronousAccess();
    }
    CSynchronousAccess(const CSynchronousAccess&) = delete;
    CSynchronousAccess& operator=(const CSynchronousAccess&) = delete;

private:
    CDistManager* m_dist;
};
}  // namespace

CString CGuiLayoutFile::DefaultPath() const { return m_list.GetLayoutFolder() + kLayoutFileName; }

CString CGuiLayoutFile::ChoosePath(const char* path, bool save, bool ask, int keepFolder)
{
    const CString given = path ? path : "";
    if (!given.IsEmpty() && !ask)
        return given;
    CString start = given;
    if (given.IsEmpty() && !(save && ask)) {
        if (m_list.GetLayoutPath().IsEmpty())
            m_list.SetLayoutPath(DefaultPath());
        start = m_list.GetLayoutPath();
    }
    const DWORD flags = save ? (OFN_OVERWRITEPROMPT | (keepFolder ? OFN_NOCHANGEDIR : 0)) : OFN_FILEMUSTEXIST;
    CQvxFileDialog dialog(save ? FALSE : TRUE, "kvl", start, flags, kLayoutFileFilter);
    dialog.m_ofn.lpstrTitle = save ? "Save Korvane Layout" : "Load Korvane Layout";
    dialog.m_nIDHelp = static_cast<UINT>(kLayoutHelpId);
    if (dialog.DoModal() != IDOK)
        return CString();
    return dialog.GetPathName();
}

// ---------------------------------------------------------------------------
void CGuiLayoutFile::CollectWritten(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items) const
{
    CGuiUpdateDlgIdMap* registry = Registry();
    for (POSITION pos = m_list.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = m_list.GetNext(pos);
        const CString className = item->GetGuiName();
        if (className == kScopeClassName ||
            (className != "NONAME" && registry && registry->GetRuntimeClassByClassName(className)))
            items.AddTail(item);
    }
}

void CGuiLayoutFile::WriteBody(CArchive& ar)
{
    CList<CGuiUpdateItem*, CGuiUpdateItem*> items;
    CollectWritten(items);
    ar << static_cast<short>(items.GetCount()) << kLayoutFileVersion;
    for (POSITION pos = items.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = items.GetNext(pos);
        ar << item->GetGuiName();
        item->SerializeLayout(ar, kLayoutFileVersion);
    }
}

int CGuiLayoutFile::Save(const char* path, int ask, int keepFolder)
{
    const CString chosen = ChoosePath(path, true, ask != 0, keepFolder);
    if (chosen.IsEmpty())
        return 2;
    m_list.SetLayoutPath(chosen);
    CFile file;
    if (!file.Open(chosen, CFile::modeCreate | CFile::modeWrite))
        return 0;
    // The file is written beside the old one and replaces it only once whole.
    CArchive ar(&file, CArchive::store);
    try {
        WriteBody(ar);
        ar.Close();
        file.Close();
    } catch (const std::exception&) {
        ar.Abort();
        file.Abort();
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------
int CGuiLayoutFile::Load(const char* path)
{
    const CString chosen = ChoosePath(path, false, !(path && *path), 0);
    if (chosen.IsEmpty())
        return 2;
    m_list.SetLayoutPath(chosen);
    CFile file;
    if (!file.Open(chosen, CFile::modeRead))
        return 0;
    CArchive ar(&file, CArchive::load);
    short count = 0;
    short version = 0;
    // Checked before anything closes: a file that cannot be loaded leaves the windows as they are.
    try {
        ar >> count >> version;
    } catch (const std::exception&) {
        count = -1;
    }
    if (count < 0) {
        m_list.MessageBox(kLayoutDamagedMessage, MB_OK, kLayoutHelpId, 1);
        return 0;
    }
    if (version >= 2) {
        m_list.MessageBox(kLayoutLaterVersionMessage, MB_OK, 0, 1);
        return 0;
    }
    m_list.SetLoadingLayout(1);
    m_list.CloseAllItemsWithoutAsking();
    m_list.SetLayoutVersion(version);
    bool dropped = false;
    const bool read = ReadRecords(ar, count, version, dropped);
    m_list.SetLoadingLayout(0);
    if (!read) {
        CloseOpened();
        m_list.MessageBox(kLayoutDamagedMessage, MB_OK, kLayoutHelpId, 1);
        return 0;
    }
    if (dropped)
        m_list.MessageBox(kLayoutDroppedMessage, MB_OK, kLayoutHelpId, 1);
    return 1;
}

bool CGuiLayoutFile::ReadRecords(CArchive& ar, int count, short version, bool& dropped)
{
    CSynchronousAccess access;
    try {
        for (int i = 0; i < count; ++i)
            if (!ReadRecord(ar, version, dropped))
                return false;
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool CGuiLayoutFile::ReadRecord(CArchive& ar, short version, bool& dropped)
{
    CString className;
    ar >> className;
    if (className == "NONAME")
        return true;
    const int suffix = className.Find(':');
    if (suffix >= 0)
        className = className.Left(suffix);
    if (className == kScopeClassName) {
        CGuiUpdateItem* scope = ScopeWindow();
        if (!scope)
            return false;  // its record cannot be passed over
        m_opened.AddTail(scope);
        scope->SerializeLayout(ar, version);
        m_list.AddItem(scope);
        return true;
    }
    CGuiUpdateDlgIdMap* registry = Registry();
    CGuiUpdateDlg* window = registry ? registry->CreateByClassName(className) : nullptr;
    if (!window)
        return false;  // no way to know where its record ends
    window->SetUpdateList(&m_list);
    m_opened.AddTail(window);
    window->SerializeLayout(ar, version);
    DWORD dataWord = 0;
    CCommAppServices* app = CCommAppServices::Get();
    const int family = app ? app->GetDriveFamily(window->GetDrive(), &dataWord) : -1;
    if (registry->IsCompatible(className, family, static_cast<int>(dataWord))) {
        m_list.RemoveItem(window);
        m_list.AddItem(window);
        return true;
    }
    m_opened.RemoveAt(m_opened.Find(window));
    Discard(window);
    dropped = true;
    return true;
}

void CGuiLayoutFile::Discard(CGuiUpdateItem* item)
{
    if (item == ScopeWindow()) {
        m_list.RemoveItem(item);  // the one scope window lives on
        return;
    }
    CWnd* wnd = item->GetWnd();
    if (wnd && wnd->GetSafeHwnd()) {
        item->DetachFromUpdateList(kDetachUnregister | kDetachDestroy);
        return;
    }
    m_list.RemoveItem(item);
    delete item;
}

void CGuiLayoutFile::CloseOpened()
{
    while (!m_opened.IsEmpty())
        Discard(m_opened.RemoveTail());
}
