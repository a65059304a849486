// CCommInterfaceHost: what the interface chooser needs of the main window;
// CCommChooserTutorial: what it needs of a tutorial page window that opened
// it (beside that window's CGuiTutorialOpener).
#pragma once

class CCommLinkSettings;

class CCommInterfaceHost {
public:
    virtual ~CCommInterfaceHost() = default;
    virtual void CloseCommunication() = 0;
    // Non-zero when communications opened.
    virtual int OpenCommunication(const CCommLinkSettings& settings) = 0;
    virtual void SetInterfaceChooserOpen(bool open) = 0;
    virtual void AddManageCloudDatabaseMenu() = 0;
};

class CCommChooserTutorial {
public:
    virtual ~CCommChooserTutorial() = default;
    virtual void UpdateNavigationButtons() = 0;
    // The link opened from the tutorial's page.
    virtual void MarkLinkOpened() = 0;
};
