#include "SampleSheet.h"

#include "comm/protocol/AmpCommand.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "platform/ui/DialogTemplate.h"

IMPLEMENT_DYNAMIC(CSamplePage, CGuiUpdatePpg)
IMPLEMENT_DYNCREATE(CSampleSheet, CGuiUpdatePropSheet)

int CSampleSheet::s_alive = 0;

namespace {
const char kTemplates[] = R"(
DIALOG 9201 0 0 220 90 "Page 1"
STYLE CHILD
LTEXT IDC_STATIC 7 7 120 10 "Motor settings"
EDITTEXT 9211 7 22 80 12 ""
CHECKBOX 9212 7 40 120 10 "Invert direction" TABSTOP
END
DIALOG 9202 0 0 220 90 "Page 2"
STYLE CHILD
LTEXT IDC_STATIC 7 7 120 10 "Feedback"
EDITTEXT 9221 7 22 80 12 ""
END
DIALOG 9203 0 0 220 90 "Page 3"
STYLE CHILD
LTEXT IDC_STATIC 7 7 120 10 "Limits"
EDITTEXT 9231 7 22 80 12 ""
END
DIALOG 9205 0 0 230 16 ""
STYLE CHILD
LTEXT IDC_STATIC 7 4 200 10 "Settings of the selected drive"
END
)";
}  // namespace

CSamplePage::CSamplePage(UINT templateId, WORD pollCode, WORD sendCode, LONG sendValue)
    : CGuiUpdatePpg(templateId), m_pollCode(pollCode), m_sendCode(sendCode), m_sendValue(sendValue)
{
}

int CSamplePage::PrepareQueries()
{
    if (GetDrive() == -1)
        return 0;
    SendQuery(static_cast<BYTE>(GetDrive()), m_pollCode, 200);
    return 1;
}

void CSamplePage::OnStatusResponse(const CAmpResponseToGui& response)
{
    m_seen.push_back(response);
    CGuiUpdatePpg::OnStatusResponse(response);
}

int CSamplePage::SendGroup(int group)
{
    m_sentGroups.push_back(group);
    SendCommand(static_cast<BYTE>(GetDrive()), m_sendCode, m_sendValue);
    return 1;
}

int CSamplePage::ExecuteCommand(const CString& command, CString& reply)
{
    if (command == "PING") {
        reply = "PONG";
        return 1;
    }
    return CGuiUpdatePpg::ExecuteCommand(command, reply);
}

void CSamplePage::ExchangeSheetProperties(CDPropertyList& bag, int loading)
{
    CString name;
    name.Format("Setting%u", GetTemplateId());
    if (loading)
        bag.GetInt(name, m_setting);
    else
        bag.SetInt(name, m_setting);
}

// ---------------------------------------------------------------------------
CSampleSheet::CSampleSheet()
    : CGuiUpdatePropSheet("Sample Sheet"),
      m_page1(kSamplePageTemplate, static_cast<WORD>(MnemonicToCode("VER")), static_cast<WORD>(MnemonicToCode("UA")),
              101),
      m_page2(kSamplePageTemplate + 1, static_cast<WORD>(MnemonicToCode("CS")), static_cast<WORD>(MnemonicToCode("UB")),
              102),
      m_page3(kSamplePageTemplate + 2, static_cast<WORD>(MnemonicToCode("SN")), static_cast<WORD>(MnemonicToCode("UC")),
              103)
{
    ++s_alive;
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    SetButtons(kSheetEnableButton | kSheetSendButton);
    SetTopPanel(&m_panel, kSamplePanelTemplate);
}

WORD CSampleSheet::SheetCode() { return static_cast<WORD>(MnemonicToCode("UD")); }

int CSampleSheet::SendGroup(int group)
{
    m_sentGroups.push_back(group);
    if (m_failOwnGroup)
        return 0;
    SendCommand(static_cast<BYTE>(GetDrive()), SheetCode(), 42);
    return CGuiUpdatePropSheet::SendGroup(group);
}

void CSampleSheet::Register(CGuiUpdateDlgIdMap& registry)
{
    AfxRegisterDialogTemplates(kTemplates);
    registry.RegisterGui(kSampleSheetName, RUNTIME_CLASS(CSampleSheet), kFamilyKreln | kFamilyTavro, 0);
}
