// CHtmlTutorialDlg: the tutorial window and setup wizard. It walks the user
// through the pages of a tutorial file in its browser, opens the drive
// window a page names beside itself, and runs the commands of its pages'
// links and of the router's "WIZ:" lines from its own timer.
#pragma once

#include <functional>

#include "KVBrowser.h"
#include "TutorPageList.h"
#include "framework/GuiTutorialOpener.h"
#include "platform/ui/Dialog.h"

class CGuiUpdateDlg;

class CHtmlTutorialDlg : public CDialog, public CGuiTutorialOpener {
public:
    static constexpr UINT IDD = 331;
    static constexpr int kPrev = 2311;
    static constexpr int kNext = 2312;
    static constexpr int kBrowserPlace = 2313;
    static constexpr int kTopic = 2314;
    static constexpr UINT_PTR kCommandTimer = 0;
    static constexpr const char* kIndexFile = "TutorIndex.dat";

    using CommandRouter = std::function<int(const CString& line, CString& reply)>;
    using HelpShower = std::function<void(int topic)>;
    // Opens a drive window by name with the tutorial as its opener; null when it cannot.
    using WindowOpener = std::function<CGuiUpdateDlg*(const CString& name, CWnd* opener)>;

    CHtmlTutorialDlg();
    ~CHtmlTutorialDlg() override;

    int LoadTutorIndex();
    int RunTutorial(const CString& fileName);
    int QueueCommand(const CString& command);
    int GoToPage(int index) override;
    int GoToPageId(const CString& pageId);
    void UpdateNavigationButtons();
    // Hides the window and lets the attached window go on without it.
    void CloseTutorial();
    // Runs both queues now, as the timer does.
    void RunQueuedCommands();

    // CGuiTutorialOpener.
    CGuiUpdateDlg* GetOpenedWindow() override { return m_attached; }
    void OnOpenedWindowClosed(CGuiUpdateDlg* window) override;
    int GetPageIndex() const override { return m_current; }
    int GetPageCount() const override { return static_cast<int>(m_pages.GetCount()); }

    void SetCommandRouter(CommandRouter router) { m_router = std::move(router); }
    void SetHelpShower(HelpShower help) { m_help = std::move(help); }
    void SetWindowOpener(WindowOpener opener) { m_opener = std::move(opener); }

    // The folder of the tutorial files, with a closing separator: "Tutorial"
    // in the program folder unless another was set.
    CString TutorialFolder() const;
    void SetTutorialFolder(const CString& folder) { m_folder = folder; }
    CKVBrowser& GetBrowser() { return m_browser; }
    const CTutorPageList& GetPages() const { return m_pages; }
    const CMapStringToString& GetIndex() const { return m_index; }
    const CString& GetAttachedName() const { return m_attachedName; }
    int GetHistoryCount() const { return m_history.GetCount(); }
    void SetNextAllowed(int allowed) { m_nextAllowed = allowed; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { CloseTutorial(); }
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnPrev() { RunTutorCommand("PREVPAGE"); }
    void OnNext() { RunTutorCommand("NEXTPAGE"); }
    void OnTopic() {}
    DECLARE_MESSAGE_MAP()

private:
    void RunTutorCommand(const CString& command);
    void ShowCurrentPage();
    void ShowPageWindow(const CTutorPage& page);
    void CloseAttachedWindow();
    void PlaceBeside(CWnd* window);
    void ArrangeControls(int cx, int cy);
    bool AttachedMayLeave();

    CKVBrowser m_browser;
    CTutorPageList m_pages;
    CMapStringToString m_index;
    int m_current = 0;
    CString m_attachedName;
    CGuiUpdateDlg* m_attached = nullptr;
    CList<int, int> m_history;
    int m_nextAllowed = 1;
    int m_backAllowed = 1;
    CommandRouter m_router;
    HelpShower m_help;
    WindowOpener m_opener;
    CString m_folder;
};
