#include "setup/io/windows/QvxTavroStatusLampsDlg.h"

#include "platform/core/Rand.h"
#include "platform/core/RuntimeClass.h"
#include "setup/io/windows/IoWindowFiles.h"
#include "setup/io/windows/QvxGuiTavroDedicatedDigitalInputsDlg.h"

IMPLEMENT_DYNCREATE(CQvxTavroStatusLampsDlg, CGuiUpdateDlg)

static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxTavroStatusLampsDlg));

BEGIN_MESSAGE_MAP(CQvxTavroStatusLampsDlg, CGuiUpdateDlg)
END_MESSAGE_MAP()

namespace {
constexpr WORD kPanelParameters[2] = {kFaultWordCode, kLowerLampsParameter};
constexpr WORD kLampPollMs = 200;
// On face, off face, on text, off text.
constexpr COLORREF kPanelColours[2][4] = {
    {0x0000FF, 0x008000, 0xFFFFFF, 0xC8C8C8},
    {0xFF0000, 0x404040, 0xFFFFFF, 0xC8C8C8},
};
constexpr DWORD kFeedbackLampMask = 2048;
constexpr UINT kFirstLampId = 3000;
constexpr int kInset = 10;
constexpr int kLampHeight = 20;
constexpr int kLampGap = 4;
}  // namespace

CQvxTavroStatusLampsDlg::CQvxTavroStatusLampsDlg() : CGuiUpdateDlg(IDD) {}

BOOL CQvxTavroStatusLampsDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    // The lamps always follow the series section: the panels name status bits, not pins.
    m_definitions.LoadDefinitions(0, IoFactoryIniPath());
    BuildPanel(kUpper, 1, IDC_TAVRO_LAMPS_UPPER);
    BuildPanel(kLower, 2, IDC_TAVRO_LAMPS_LOWER);
    return TRUE;
}

void CQvxTavroStatusLampsDlg::BuildPanel(int panel, int functionNumber, UINT groupId)
{
    const CTavroIoFunctionDefinition* function = m_definitions.m_functions.Find(functionNumber);
    CWnd* group = GetDlgItem(groupId);
    if (!function || !group)
        return;
    CRect area;
    group->GetWindowRect(&area);
    ScreenToClient(&area);
    area.left += kInset;
    area.top += kInset + 6;
    area.right -= kInset;
    area.bottom -= kInset;
    const int columnWidth = (area.Width() - kLampGap) / 2;
    int place = 0;
    for (int bit : function->m_bitOrder) {
        CString name = "<Unknown>";
        function->m_bitNames.Lookup(bit, name);
        const bool reserved = name.CompareNoCase("RESERVED") == 0;
        // A reserved bit leaves no gap in the upper panel and a blank lamp in the lower one.
        if (reserved && panel == kUpper)
            continue;
        Lamp lamp;
        const int column = place % 2;
        const int row = place / 2;
        ++place;
        if (reserved) {
            m_lamps[panel].push_back(std::move(lamp));
            continue;
        }
        lamp.mask = bit >= 0 && bit < 32 ? (1u << bit) : 0;
        lamp.button = std::make_unique<CLampButton>();
        const CRect rect(area.left + column * (columnWidth + kLampGap), area.top + row * (kLampHeight + kLampGap),
                         area.left + column * (columnWidth + kLampGap) + columnWidth,
                         area.top + row * (kLampHeight + kLampGap) + kLampHeight);
        const UINT id = kFirstLampId + static_cast<UINT>(panel * 100 + m_lamps[panel].size());
        lamp.button->Create(name, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, this, id);
        lamp.button->m_onFaceColor = kPanelColours[panel][0];
        lamp.button->m_offFaceColor = kPanelColours[panel][1];
        lamp.button->m_onTextColor = kPanelColours[panel][2];
        lamp.button->m_offTextColor = kPanelColours[panel][3];
        lamp.button->SetTexts(name, name, FALSE);
        m_lamps[panel].push_back(std::move(lamp));
    }
}

CLampButton* CQvxTavroStatusLampsDlg::FindLamp(int panel, DWORD mask) const
{
    for (const Lamp& lamp : m_lamps[panel])
        if (lamp.mask == mask && lamp.button)
            return lamp.button.get();
    return nullptr;
}

int CQvxTavroStatusLampsDlg::SubscribeStatusQueries()
{
    const int done = CGuiUpdateDlg::SubscribeStatusQueries();
    if (!done)
        return done;
    const BYTE drive = static_cast<BYTE>(GetDrive());
    SendQueryWithArgument(drive, kHardwareFlagParameter, kHardwareFlagAddressParameter, kHardwareFlagAddress, 0);
    SendQuery(drive, kFeedbackKindParameter, 0, 0x60);
    for (WORD parameter : kPanelParameters)
        SendQuery(drive, parameter, kLampPollMs);
    return done;
}

int CQvxTavroStatusLampsDlg::InitialUpdate() { return m_hardwareFlagsValid && m_feedbackKindValid ? 1 : 0; }

void CQvxTavroStatusLampsDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    const WORD code = response.m_code;
    const DWORD value = static_cast<DWORD>(response.GetValue());
    if (!response.m_write && !response.m_error) {
        if (code == kHardwareFlagParameter) {
            m_hardwareFlags = value;
            m_hardwareFlagsValid = m_feedbackChanged = true;
            return;
        }
        if (code == kFeedbackKindParameter) {
            m_feedbackKind = value;
            m_feedbackKindValid = m_feedbackChanged = true;
            return;
        }
        for (int panel = 0; panel < 2; ++panel) {
            if (code == kPanelParameters[panel]) {
                m_wordChanged[panel] = true;
                m_words[panel] = value;
            }
        }
        if (code == kLowerLampsParameter)
            return;
    }
    CGuiUpdateDlg::OnStatusResponse(response);
}

void CQvxTavroStatusLampsDlg::ProcessResponses()
{
    if (m_feedbackChanged) {
        m_feedbackChanged = false;
        ShowFeedbackLamp();
    }
    CGuiUpdateDlg::ProcessResponses();
    for (int panel = 0; panel < 2; ++panel) {
        if (m_wordChanged[panel]) {
            m_wordChanged[panel] = false;
            ShowWord(panel, m_words[panel]);
        }
    }
}

void CQvxTavroStatusLampsDlg::ShowFeedbackLamp()
{
    CLampButton* lamp = FindLamp(kUpper, kFeedbackLampMask);
    if (!lamp || !m_hardwareFlagsValid || !m_feedbackKindValid)
        return;
    const bool resolver = (m_hardwareFlags & 0x80) && (m_feedbackKind & 0x4);
    const char* text = resolver ? "Resolver" : "Encoder";
    if (lamp->m_onText != text) {
        lamp->SetTexts(text, text, TRUE);
        Invalidate();
    }
}

void CQvxTavroStatusLampsDlg::ShowWord(int panel, DWORD word)
{
    for (Lamp& lamp : m_lamps[panel]) {
        if (!lamp.button)
            continue;
        const BOOL on = (word & lamp.mask) != 0;
        if (lamp.button->m_on != on) {
            lamp.button->m_on = on;
            lamp.button->Invalidate();
        }
    }
}

void CQvxTavroStatusLampsDlg::RandomExercise(int)
{
    if (Rand() % 2 != 0)
        return;
    for (WORD parameter : kPanelParameters)
        SendCommand(static_cast<BYTE>(GetDrive()), parameter, Rand() & 0xFFFF);
}
