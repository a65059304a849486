#include "comm/windows/QvxCommTestDlg.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

#include "comm/link/CommAppServices.h"
#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/AmpQryCmdFromGui.h"
#include "distribution/AmpResponseToGui.h"
#include "foundation/TextHelpers.h"
#include "platform/ui/Edit.h"
#include "platform/ui/MsgBox.h"

IMPLEMENT_DYNCREATE(CQvxCommTestDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CQvxCommTestDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(CQvxCommTestDlg::kSendBlockId, &CQvxCommTestDlg::OnSendBlock)
    ON_BN_CLICKED(CQvxCommTestDlg::kGetId, &CQvxCommTestDlg::OnGet)
    ON_BN_CLICKED(CQvxCommTestDlg::kSetId, &CQvxCommTestDlg::OnSet)
    ON_BN_CLICKED(CQvxCommTestDlg::kSendComboId, &CQvxCommTestDlg::OnSendCombo)
    ON_BN_CLICKED(CQvxCommTestDlg::kGetFromAddressId, &CQvxCommTestDlg::OnGetFromAddress)
    ON_BN_CLICKED(CQvxCommTestDlg::kIbTestId, &CQvxCommTestDlg::OnIbTest)
    ON_BN_CLICKED(CQvxCommTestDlg::kClearId, &CQvxCommTestDlg::OnClear)
END_MESSAGE_MAP()

namespace {

std::atomic<CCommManager*> g_manager{nullptr};
constexpr int kMaxBlockText = 2499;
constexpr WORD kOneShotTime = 200;

LONG SignExtend(LONG value, int width)
{
    if (width == 1)
        return static_cast<int8_t>(value & 0xFF);
    if (width == 2)
        return static_cast<int16_t>(value & 0xFFFF);
    return value;
}

}  // namespace

CQvxCommTestDlg::CQvxCommTestDlg() : CGuiUpdateDlg(IDD) {}

void CQvxCommTestDlg::SetCommManager(CCommManager* manager) { g_manager = manager; }

BOOL CQvxCommTestDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    SetDlgItemText(kAddressEditId, "0");
    return TRUE;
}

int CQvxCommTestDlg::PrepareQueries()
{
    if (CCommManager* manager = g_manager)
        SetDlgItemText(kLinkTextId, manager->GetPortName());
    return 1;
}

void CQvxCommTestDlg::RecordSendTime()
{
    CCommAppServices* app = CCommAppServices::Get();
    m_timeSent = app ? static_cast<int>(app->GetGlobalSeconds() * 1000.0) : 0;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    m_sentHour = local.tm_hour;
    m_sentMinute = local.tm_min;
    m_sentSecond = local.tm_sec;
    m_sentMillisecond =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
}

void CQvxCommTestDlg::SplitMnemonicValue(const CString& text, const char* characters, CString& mnemonic, LONG& value)
{
    const int at = text.FindOneOf(characters);
    if (at < 0) {
        mnemonic = text;
        value = 0;
        return;
    }
    mnemonic = text.Left(at);
    value = static_cast<LONG>(std::strtol(text.Mid(at).GetString(), nullptr, 10));
}

void CQvxCommTestDlg::OnSendBlock()
{
    CString text;
    GetDlgItemText(kBlockEditId, text);
    if (text.GetLength() > kMaxBlockText)
        text = text.Left(kMaxBlockText);
    std::vector<BYTE> bytes(static_cast<size_t>(kMaxBlockText / 2 + 1));
    const int count = HexToBytes(text, static_cast<int>(bytes.size()), bytes.data());
    CCommManager* manager = g_manager;
    if (count < 1) {
        m_log += "ERROR: The outgoing block is not hexadecimal text.\r\n";
        ShowLog();
        return;
    }
    if (!manager || CCommManager::GetLinkState() != 1)
        return;
    RecordSendTime();
    manager->AddRawBlock(bytes.data(), count);
}

void CQvxCommTestDlg::OnGet()
{
    CString text;
    GetDlgItemText(kMnemonicEditId, text);
    if (text.IsEmpty())
        return;
    text.MakeUpper();
    RecordSendTime();
    SendQuery(static_cast<BYTE>(GetDrive()), static_cast<WORD>(MnemonicToCode(text)), kOneShotTime, kQryOneShot);
}

void CQvxCommTestDlg::OnSet()
{
    CString text;
    GetDlgItemText(kSetEditId, text);
    if (text.GetLength() <= 1)
        return;
    text.MakeUpper();
    CString mnemonic;
    SplitMnemonicValue(text, "-0123456789 ", mnemonic, m_setValue);
    RecordSendTime();
    SendCommand(static_cast<BYTE>(GetDrive()), static_cast<WORD>(MnemonicToCode(mnemonic)), m_setValue);
}

void CQvxCommTestDlg::OnSendCombo()
{
    CString read, sub;
    GetDlgItemText(kMnemonicEditId, read);
    GetDlgItemText(kSetEditId, sub);
    if (read.IsEmpty() || sub.IsEmpty())
        return;
    read.MakeUpper();
    sub.MakeUpper();
    CString subMnemonic;
    LONG subValue = 0;
    SplitMnemonicValue(sub, "0123456789 ", subMnemonic, subValue);
    RecordSendTime();
    SendQueryWithArgument(static_cast<BYTE>(GetDrive()), static_cast<WORD>(MnemonicToCode(read)),
                          static_cast<WORD>(MnemonicToCode(subMnemonic)), static_cast<WORD>(subValue), kOneShotTime,
                          kQryOneShot);
}

void CQvxCommTestDlg::OnGetFromAddress()
{
    BOOL translated = FALSE;
    const int address = static_cast<int>(GetDlgItemInt(kAddressEditId, &translated, TRUE));
    if (!translated || address < 0 || address > 25) {
        AfxMessageBox("Please enter an integer between 0 and 25.", MB_OK);
        return;
    }
    m_address = address;
    CString text;
    GetDlgItemText(kMnemonicEditId, text);
    if (text.IsEmpty())
        return;
    text.MakeUpper();
    RecordSendTime();
    SendQuery(static_cast<BYTE>(m_address), static_cast<WORD>(MnemonicToCode(text)), kOneShotTime, kQryOneShot);
}

void CQvxCommTestDlg::OnIbTest()
{
    CAmpQryCmdFromGui query;
    query.m_address = static_cast<BYTE>(GetDrive());
    query.m_code = kCodeIB;
    query.SetValue(0, 1);
    query.m_flags = kQryCommand;
    query.m_time = kCommandTimeHint;
    query.m_receiver = this;
    RecordSendTime();
    SubmitQuery(query);
}

void CQvxCommTestDlg::OnClear()
{
    m_log.Empty();
    SetDlgItemText(kLogEditId, "");
}

void CQvxCommTestDlg::OnStatusResponse(const CAmpResponseToGui& response)
{
    CGuiUpdateDlg::OnStatusResponse(response);
    const CString mnemonic = CodeToMnemonic(response.m_code);
    if (response.m_error) {
        m_log.AppendFormat("ERROR: Failed to set %s %d", mnemonic.GetString(), static_cast<int>(m_setValue));
    } else {
        const LONG value = SignExtend(response.m_value, response.m_width);
        // The reply time is kept in seconds; the log shows whole milliseconds.
        const int replyMs = static_cast<int>(std::lround(response.m_replyTime * 1000.0));
        m_log.AppendFormat(
            "Cmd = %s; adr = %d; param = %d; time Sent = %d; value = %d; KVtimeStamp = %d; CMtimeStamp = %d \r\n",
            mnemonic.GetString(), static_cast<int>(response.m_address), static_cast<int>(value), m_timeSent,
            static_cast<int>(value), static_cast<int>(response.m_timeStamp), replyMs);
    }
    m_log.AppendFormat("System time Sent %d:%d:%d:%d \r\n", m_sentHour, m_sentMinute, m_sentSecond,
                       m_sentMillisecond);
    ShowLog();
}

void CQvxCommTestDlg::ShowLog()
{
    SetDlgItemText(kLogEditId, m_log);
    if (auto* log = static_cast<CEdit*>(GetDlgItem(kLogEditId))) {
        const int end = m_log.GetLength();
        log->SetSel(end, end);
    }
}
