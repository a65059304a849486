// CFirmwareDlgBase: what the customer's and the factory's firmware windows
// share: the programmer and the script they own, the coloured status lines,
// the two progress bars, the serial port list and getting the drive link out
// of the way while a run talks to the port.
#pragma once

#include <vector>

#include "controls/DRichEditCtrl.h"
#include "firmware/SerialFlashProgrammerReportCB.h"
#include "firmware/SerialFlashProgrammerScript.h"
#include "firmware/windows/FirmwareProgress.h"
#include "firmware/windows/PumpingFlashProgrammer.h"
#include "platform/ui/Dialog.h"

class CComboBox;
class CFirmwareLinkControl;

class CFirmwareDlgBase : public CDialog, public CSerialFlashProgrammerReportCB {
public:
    // The status and progress controls of a window.
    struct ProgressIds {
        int status, operation, stageBar, stagePercent, overallBar, overallPercent;
    };
    enum StatusStyle { styleBold = 1, styleItalic = 2, styleUnderline = 4 };
    static constexpr const char* kOperationLabel = "Current Operation:";

    CFirmwareDlgBase(UINT templateId, const ProgressIds& ids, CWnd* parent);

    void SetLinkControl(CFirmwareLinkControl* link) { m_link = link; }
    CPumpingFlashProgrammer& GetProgrammer() { return m_programmer; }
    CSerialFlashProgrammerScript& GetScript() { return m_script; }
    CDRichEditCtrl& GetStatusBox() { return m_status; }
    const CFirmwareProgress& GetProgress() const { return m_progress; }
    BOOL IsRunning() const { return m_running; }

    void AddStatusLine(const CString& text, COLORREF colour, int style);

    void ReportAction(CString text) override;
    void ReportStatus(CString text) override;
    void BeginProgress(int total, CString text) override;
    void ReportProgress(int position, CString text) override;
    void ReportError(CString text) override;
    void ReportDebug(CString text) override;

protected:
    BOOL OnInitDialog() override;
    // The previous stage counts as finished when the next begins (the
    // customer's window); otherwise the window adds finished stages itself.
    virtual bool AccumulateStages() const = 0;
    virtual void UpdateControls() = 0;
    void OnClearStatus();
    void ShowOperation(const CString& text);
    void ResetProgressDisplay();
    // Asks the programmer to stop; repeated at each report so that a load
    // starting after the request does not clear it.
    void RequestCancel();
    BOOL IsCancelRequested() const { return m_cancelRequested; }

    // Lists the serial ports in the combo (friendly names, item data the index).
    void FillPortCombo(CComboBox* combo);
    CString PortNameAt(int index) const;
    int PortIndexOf(const CString& portName) const;

    // Closes the drive link for a run and opens it again afterwards, whatever the outcome.
    class LinkPause {
    public:
        explicit LinkPause(CFirmwareLinkControl* link);
        ~LinkPause();
        LinkPause(const LinkPause&) = delete;
        LinkPause& operator=(const LinkPause&) = delete;

    private:
        CFirmwareLinkControl* m_link;
        int m_wasOpen = 0;
    };

    CPumpingFlashProgrammer m_programmer;
    CSerialFlashProgrammerScript m_script;
    CDRichEditCtrl m_status;
    CFirmwareProgress m_progress;
    CFirmwareLinkControl* m_link = nullptr;
    BOOL m_running = FALSE;
    BOOL m_cancelRequested = FALSE;
    int m_errorsReported = 0;  // red lines so far; a failure nobody reported gets one

private:
    void Pump();
    void ScrollStatusToEnd();

    ProgressIds m_ids;
    std::vector<CString> m_portNames;  // by combo item data
};
