#include "setup/io/windows/QvxGuiSetupTavroDigitalOutputDlg.h"

#include "platform/core/RuntimeClass.h"
#include "setup/io/windows/IoWindowFiles.h"

IMPLEMENT_DYNCREATE(CQvxGuiSetupTavroDigitalOutputDlg, CTavroDigitalIoSetupDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiSetupTavroDigitalOutputDlg));

BEGIN_MESSAGE_MAP(CQvxGuiSetupTavroDigitalOutputDlg, CTavroDigitalIoSetupDlg)
    ON_BN_CLICKED(IDC_TAVRO_OUTPUT_SEND, &CQvxGuiSetupTavroDigitalOutputDlg::OnSendButton)
END_MESSAGE_MAP()

namespace {
const TavroIoWindowTexts kTexts = {
    "Setup Digital Outputs",
    "Function:Bit (Wrk)",
    "Function:Bit (Drv)",
    "Send output pin settings to drive?",
    "receiving digital output settings from drive.",
    "sending digital output settings to drive.",
    7,
    21,
    true,
};
}  // namespace

CQvxGuiSetupTavroDigitalOutputDlg::CQvxGuiSetupTavroDigitalOutputDlg()
    : CTavroDigitalIoSetupDlg(IDD, IDC_TAVRO_OUTPUT_LIST, IDC_TAVRO_OUTPUT_SEND, kTexts)
{
}

int CQvxGuiSetupTavroDigitalOutputDlg::LoadDefinitions(int variant)
{
    return m_definitions.LoadDefinitions(variant, IoFactoryIniPath());
}

bool CQvxGuiSetupTavroDigitalOutputDlg::IsOffered(const CString& text) const
{
    CString tail = text.Right(8);
    return tail.CompareNoCase("RESERVED") != 0;
}
