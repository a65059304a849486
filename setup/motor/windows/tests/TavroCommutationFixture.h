// The ground of the Tavro commutation sheet's tests: the demo link with the
// Tavro drive holding a brushless motor with a quadrature encoder, the sheet
// registered, and a stand-in for the procedure windows its pages open.
#pragma once

#include <algorithm>
#include <vector>

#include "comm/trace/CommManagerTraceClient.h"
#include "DialogReadings.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "setup/motor/windows/CommutationWindowClasses.h"
#include "setup/motor/windows/MotorProcedureOwner.h"
#include "setup/motor/windows/MotorProcedureWindow.h"
#include "setup/motor/windows/QvxGuiTavroCommutationSheet.h"

// Opened by name where the program opens auto-phasing or calibration; tells
// the page that opened it when it closes, as those windows do.
class CTavroSheetStandInChild : public CGuiUpdateDlg, public CMotorProcedureWindow {
    DECLARE_DYNCREATE(CTavroSheetStandInChild)

public:
    CTavroSheetStandInChild();
    CString GetItemName() const override { return "Procedure Stand-In"; }
    void SetOwnerPage(CMotorProcedureOwner* owner) override { m_owner = owner; }
    CMotorProcedureOwner* Owner() const { return m_owner; }
    void OnClose();

    static void Register(CGuiUpdateDlgIdMap& registry);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CMotorProcedureOwner* m_owner = nullptr;
};

class TavroCommutationTest : public DriveWindowDemoTest, protected MotorDialogReadings {
protected:
    static constexpr WORD kMft = 13524;
    static constexpr WORD kCim = 3373;
    static constexpr WORD kPoles = 432;
    static constexpr WORD kLines = 210;
    static constexpr WORD kOutputWord = 6308;

    void PrepareDrives() override;
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override
    {
        RegisterCommutationWindows(registry);
        CTavroSheetStandInChild::Register(registry);
    }
    void TearDown() override
    {
        m_comm.RemoveClient(&m_trace);
        DriveWindowDemoTest::TearDown();
    }
    void SetHardware(LONG word);
    CQvxGuiTavroCommutationSheet* Open();
    // Register codes written on the link since the trace started, in order.
    std::vector<WORD> Written();
    static int IndexOf(const std::vector<WORD>& codes, WORD code)
    {
        const auto at = std::find(codes.begin(), codes.end(), code);
        return at == codes.end() ? -1 : static_cast<int>(at - codes.begin());
    }
    void StartTrace()
    {
        m_comm.AddClient(&m_trace);
        m_trace.DiscardItems();
    }

    CCommManagerTraceClient m_trace;
    std::vector<CAmpMsg> m_written;
};
