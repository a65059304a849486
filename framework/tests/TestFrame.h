// The main frame as the framework's tests see it: it owns the open-window
// list and the registry, ticks the list every 100 ms from a window timer as
// the main frame does, and records what the windows asked of it.
#pragma once

#include <vector>

#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/Wnd.h"

class TestFrame : public CGuiFrameServices {
public:
    TestFrame() { Install(this); }
    ~TestFrame() override
    {
        StopTicking();
        DestroyAllWindows();
        Install(nullptr);
    }

    CGuiUpdateList* GetUpdateList() override { return &m_list; }
    CGuiUpdateDlgIdMap* GetDlgIdMap() override { return &m_registry; }
    void OnDriveStatusResponse(const CAmpResponseToGui& response) override { m_statusResponses.push_back(response); }
    void ShowHelp(UINT helpId) override { m_helpShown.push_back(helpId); }
    CGuiUpdateItem* GetScopeWindow() override { return m_scope; }
    int RestoreBackup(int drive, const CString& driveName, const CString& path, int helpId) override
    {
        m_restores.push_back({drive, driveName, path, helpId});
        return m_restoreResult;
    }
    bool HandleNavigationKey(UINT key) override
    {
        if (!m_playerTakesKeys)
            return false;
        m_playerKeys.push_back(key);
        return true;
    }

    // The "GUI Update" timer.
    void StartTicking()
    {
        if (!m_ticker.GetSafeHwnd())
            m_ticker.Create(nullptr, "frame", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
        m_ticker.m_list = &m_list;
        m_ticker.SetTimer(1, 100);
    }
    void StopTicking()
    {
        if (m_ticker.GetSafeHwnd())
            m_ticker.DestroyWindow();
    }
    void DestroyAllWindows()
    {
        while (!m_list.IsEmpty()) {
            CGuiUpdateItem* item = m_list.GetHead();
            if (item->GetWnd() && item->GetWnd()->GetSafeHwnd())
                item->GetWnd()->DestroyWindow();
            else
                m_list.RemoveItem(item);
        }
    }

    CGuiUpdateList m_list;
    CGuiUpdateDlgIdMap m_registry;
    std::vector<CAmpResponseToGui> m_statusResponses;
    std::vector<UINT> m_helpShown;
    struct Restore {
        int drive;
        CString driveName;
        CString path;
        int helpId;
    };
    CGuiUpdateItem* m_scope = nullptr;
    int m_restoreResult = 0;
    std::vector<Restore> m_restores;
    bool m_playerTakesKeys = false;
    std::vector<UINT> m_playerKeys;

private:
    class Ticker : public CWnd {
    public:
        CGuiUpdateList* m_list = nullptr;
        void OnTimer(UINT_PTR) { m_list->UpdateAll(); }
        DECLARE_MESSAGE_MAP()
    };
    Ticker m_ticker;
};
