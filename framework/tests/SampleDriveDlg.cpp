#include "SampleDriveDlg.h"

#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/ui/DialogTemplate.h"

IMPLEMENT_DYNCREATE(CSampleDriveDlg, CGuiUpdateDlg)

int CSampleDriveDlg::s_alive = 0;

namespace {
const char kTemplate[] = R"(
DIALOG 9100 0 0 200 80 "Sample"
FONT 8 "MS Sans Serif"
LTEXT IDC_STATIC 7 7 120 10 "Drive state"
PUSHBUTTON 9101 7 25 80 14 "ENABLE DRIVE"
PUSHBUTTON IDCANCEL 140 60 50 14 "Close"
END
)";
}  // namespace

CSampleDriveDlg::CSampleDriveDlg() : CGuiUpdateDlg(kSampleTemplateId)
{
    m_statusFlags = kStatusMode | kStatusWord | kStatusFault;
    ++s_alive;
}

void CSampleDriveDlg::Register(CGuiUpdateDlgIdMap& registry)
{
    AfxRegisterDialogTemplates(kTemplate);
    registry.RegisterGui(kSampleWindowName, RUNTIME_CLASS(CSampleDriveDlg), kFamilyKreln | kFamilyTavro, 0);
}

BOOL CSampleDriveDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetRestorePlacement(0);
    SetEnableButton(GetDlgItem(kSampleEnableButtonId));
    ResetUpdateTimer();
    return TRUE;
}

void CSampleDriveDlg::ProcessResponses()
{
    ++m_processRounds;
    CGuiUpdateDlg::ProcessResponses();
}

void CSampleDriveDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    m_seen.push_back(response);
    m_seenOnThreads.push_back(std::this_thread::get_id());
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CSampleDriveDlg::UpdateCycle()
{
    ++m_ticks;
    if (m_closeDuringTick) {
        m_closeDuringTick = false;
        DetachFromUpdateList(kDetachUnregister);
        return;
    }
    CGuiUpdateDlg::UpdateCycle();
}
