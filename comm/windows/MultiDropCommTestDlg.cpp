#include "comm/windows/MultiDropCommTestDlg.h"

#include "comm/link/CommAppServices.h"
#include "foundation/TextHelpers.h"
#include "platform/core/Clock.h"
#include "platform/core/IniFile.h"
#include "platform/core/UserSettings.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/WinApp.h"

BEGIN_MESSAGE_MAP(CMultiDropCommTestDlg, CDialog)
    ON_BN_CLICKED(CMultiDropCommTestDlg::kStartId, &CMultiDropCommTestDlg::OnStartTest)
    ON_BN_CLICKED(CMultiDropCommTestDlg::kStopId, &CMultiDropCommTestDlg::OnStopTest)
    ON_BN_CLICKED(CMultiDropCommTestDlg::kClearId, &CMultiDropCommTestDlg::OnClear)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {

constexpr const char* kSection = "SerialTest";
constexpr const char* kDefaultTx = "0335e4fcffffffff";
constexpr const char* kDefaultRx = "236701dc";
constexpr int kMaxHexBytes = 254;

const char* FailureText(int outcome)
{
    switch (outcome) {
    case -1: return "Write Error";
    case -2: return "Read Error";
    case -3: return "Mismatch Error";
    case -4: return "Timeout Error";
    default: return "Unknown Error";
    }
}

// -1 for a text that is empty, too long or not hexadecimal.
int ConvertHex(const CString& text, std::vector<BYTE>& bytes)
{
    bytes.assign(kMaxHexBytes, 0);
    if (text.GetLength() / 2 >= 255)
        return -1;
    const int count = HexToBytes(text, kMaxHexBytes, bytes.data());
    bytes.resize(static_cast<size_t>(std::max(count, 0)));
    return count > 0 ? count : -1;
}

DWORD ElapsedMs(DWORD since) { return timeGetTime() - since; }

}  // namespace

CString FormatHexBytes(const BYTE* bytes, int count)
{
    CString text;
    for (int i = 0; i < count; ++i)
        text.AppendFormat("%02x", bytes[i]);
    return text;
}

CMultiDropCommTestDlg::CMultiDropCommTestDlg(CWnd* parent) : CDialog(IDD, parent) {}

CMultiDropCommTestDlg::~CMultiDropCommTestDlg() { m_device.Close(); }

CString CMultiDropCommTestDlg::DevicePathOf(int comNumber)
{
    const auto ports = CSerialPortEnumerator::Enumerate();
    if (comNumber >= 1 && comNumber <= static_cast<int>(ports.size()))
        return ports[static_cast<size_t>(comNumber - 1)].devicePath;
    CString path;
    path.Format("/dev/ttyS%d", std::max(comNumber - 1, 0));
    return path;
}

void CMultiDropCommTestDlg::SetFrameAddress(std::vector<BYTE>& bytes, int address, bool reply)
{
    if (bytes.empty())
        return;
    bytes[0] = static_cast<BYTE>((bytes[0] & 0xE0) | (address & 0x1F));
    const size_t width = bytes[0] >> 5;
    size_t check = reply ? width + 2 : width + 3;
    if (check >= bytes.size())
        check = bytes.size() - 1;
    if (check > 0)
        bytes[check] = static_cast<BYTE>(~bytes[0]);
}

CString CMultiDropCommTestDlg::SettingsPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : AfxGetUserSettingsIniPath();
}

BOOL CMultiDropCommTestDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* com = static_cast<CComboBox*>(GetDlgItem(kComComboId));
    auto* drive = static_cast<CComboBox*>(GetDlgItem(kDriveComboId));
    for (unsigned n = 1; n <= 256; ++n) {
        CString text;
        text.Format("COM%u", n);
        com->AddString(text);
    }
    for (int n = 0; n <= 15; ++n) {
        CString text;
        text.Format("%d", n);
        drive->AddString(text);
    }
    SetDlgItemText(kLogId, "");
    SetDlgItemText(kFailureListId, "");
    SetDlgItemText(kCounterId, "");
    LoadSettings();
    return TRUE;
}

void CMultiDropCommTestDlg::LoadSettings()
{
    const CString ini = SettingsPath();
    char text[600] = {};
    GetPrivateProfileString(kSection, "TXData", kDefaultTx, text, sizeof text, ini);
    SetDlgItemText(kTxEditId, text);
    GetPrivateProfileString(kSection, "ExpectedRXData", kDefaultRx, text, sizeof text, ini);
    SetDlgItemText(kRxEditId, text);
    const int com = static_cast<int>(GetPrivateProfileInt(kSection, "COMPort", 1, ini));
    static_cast<CComboBox*>(GetDlgItem(kComComboId))->SetCurSel(std::clamp(com, 1, 256) - 1);
    CheckDlgButton(kContinuousId, GetPrivateProfileInt(kSection, "RunContinuously", 0, ini) ? 1 : 0);
    const int drive = static_cast<int>(GetPrivateProfileInt(kSection, "DriveAddr", 1, ini));
    static_cast<CComboBox*>(GetDlgItem(kDriveComboId))->SetCurSel(std::clamp(drive, 0, 15));
}

void CMultiDropCommTestDlg::SaveSettings()
{
    const CString ini = SettingsPath();
    CString text;
    GetDlgItemText(kTxEditId, text);
    WritePrivateProfileString(kSection, "TXData", text, ini);
    GetDlgItemText(kRxEditId, text);
    WritePrivateProfileString(kSection, "ExpectedRXData", text, ini);
    text.Format("%d", static_cast<CComboBox*>(GetDlgItem(kComComboId))->GetCurSel() + 1);
    WritePrivateProfileString(kSection, "COMPort", text, ini);
    text.Format("%d", IsDlgButtonChecked(kContinuousId) ? 1 : 0);
    WritePrivateProfileString(kSection, "RunContinuously", text, ini);
    text.Format("%d", std::max(static_cast<CComboBox*>(GetDlgItem(kDriveComboId))->GetCurSel(), 0));
    WritePrivateProfileString(kSection, "DriveAddr", text, ini);
}

void CMultiDropCommTestDlg::AppendLog(const CString& text)
{
    m_log += text;
    SetDlgItemText(kLogId, m_log);
}

void CMultiDropCommTestDlg::OnClear()
{
    m_log.Empty();
    SetDlgItemText(kLogId, "");
    SetDlgItemText(kFailureListId, "");
    SetDlgItemText(kCounterId, "");
}

void CMultiDropCommTestDlg::OnStartTest()
{
    if (m_running)
        return;
    SaveSettings();
    const int comNumber = static_cast<CComboBox*>(GetDlgItem(kComComboId))->GetCurSel() + 1;
    m_device.Close();
    m_device.m_portName = DevicePathOf(comNumber);
    m_device.m_baudRate = 115200;
    const int address = std::max(static_cast<CComboBox*>(GetDlgItem(kDriveComboId))->GetCurSel(), 0);

    CString txText, rxText;
    GetDlgItemText(kTxEditId, txText);
    GetDlgItemText(kRxEditId, rxText);
    std::vector<BYTE> tx, expected;
    if (ConvertHex(txText, tx) < 0 || ConvertHex(rxText, expected) < 0) {
        // Nothing to send or to compare with: no byte is patched and nothing goes out.
        AppendLog("*** Invalid hexadecimal data in TX or Expected RX\r\n");
        return;
    }
    m_stop = 0;
    AppendLog("*** Test Started\r\n");
    if (!m_device.OpenDevice(TRUE)) {
        AppendLog("*** Test Stopped\r\n");
        m_device.Close();
        return;
    }
    m_running = true;
    m_testStartMs = timeGetTime();
    SetFrameAddress(tx, address, false);
    SetFrameAddress(expected, address, true);
    while (RunPass(tx, expected)) {
    }
    EndTest();
}

void CMultiDropCommTestDlg::EndTest()
{
    m_running = false;
    m_device.Close();
    if (m_closePending) {
        m_closePending = false;
        DestroyWindow();
    }
}

bool CMultiDropCommTestDlg::RunPass(const std::vector<BYTE>& tx, const std::vector<BYTE>& expected)
{
    DWORD sum = 0, max = 0, cycles = 0;
    std::vector<BYTE> received;
    for (;;) {
        ++cycles;
        if (cycles % 10 == 0) {
            CString counter;
            counter.Format("Count=%u, Avg MS=%u, Max MS=%u", cycles, sum / cycles, max);
            SetDlgItemText(kCounterId, counter);
        }
        DWORD t = 0;
        const int outcome = Transaction(tx, expected, received, t);
        Sleep(2);
        sum += t;
        max = std::max(max, t);
        AfxPumpMessages();
        if (m_stop) {
            AppendLog("*** Test Stopped\r\n");
            return false;
        }
        if (outcome != kPass) {
            ReportFailure(outcome, cycles, tx, expected, received, t, sum, max);
            if (IsDlgButtonChecked(kContinuousId))
                return true;
            AppendLog("*** Test Stopped\r\n");
            return false;
        }
    }
}

int CMultiDropCommTestDlg::Transaction(const std::vector<BYTE>& tx, const std::vector<BYTE>& expected,
                                       std::vector<BYTE>& received, DWORD& replyMs)
{
    received.assign(kReadBufferSize, 0);
    if (!m_device.WriteBytes(tx.data(), static_cast<int>(tx.size()))) {
        received.clear();
        return kWriteError;
    }
    const DWORD start = timeGetTime();
    int count = 0;
    for (;;) {
        const int got = m_device.ReadBytes(received.data() + count, kReadBufferSize - count, FALSE);
        if (got < 0) {
            received.resize(static_cast<size_t>(count));
            replyMs = ElapsedMs(start);
            return kReadError;
        }
        if (got > 0) {
            count += got;
            replyMs = ElapsedMs(start);
        }
        const size_t n = static_cast<size_t>(count);
        if (n >= expected.size() && n > 0) {
            received.resize(n);
            return n == expected.size() && std::equal(expected.begin(), expected.end(), received.begin()) ? kPass
                                                                                                            : kMismatch;
        }
        if (ElapsedMs(start) >= static_cast<DWORD>(kTimeoutMs)) {
            received.resize(n);
            // A transaction without an answer took the whole wait, not an earlier one's time.
            if (count == 0)
                replyMs = ElapsedMs(start);
            return kTimeout;
        }
        Sleep(1);
    }
}

void CMultiDropCommTestDlg::ReportFailure(int outcome, DWORD cycles, const std::vector<BYTE>& tx,
                                          const std::vector<BYTE>& expected, const std::vector<BYTE>& received,
                                          DWORD replyMs, DWORD sum, DWORD max)
{
    CString counter;
    counter.Format("Count=%u", cycles);
    SetDlgItemText(kCounterId, counter);
    ++m_failures;
    const CString txHex = FormatHexBytes(tx.data(), static_cast<int>(tx.size()));
    const CString expectedHex = FormatHexBytes(expected.data(), static_cast<int>(expected.size()));
    const CString receivedHex = FormatHexBytes(received.data(), static_cast<int>(received.size()));
    CString line;
    line.Format("#%03u (%u ms): [TX=%s] Failed after %u cycles- %s\r\nRX Expected:%s(%u bytes) Rx Actual:%s(%u bytes) "
                "(t=%u ms, avg=%u ms, max=%u ms)\r\n",
                m_failures, ElapsedMs(m_testStartMs), txHex.GetString(), cycles, FailureText(outcome),
                expectedHex.GetString(), static_cast<unsigned>(expected.size()), receivedHex.GetString(),
                static_cast<unsigned>(received.size()), replyMs, sum / cycles, max);
    AppendLog(line + "-------------------------\r\n");

    ++m_tally[receivedHex.GetString()];
    CString list = CString("TX=") + txHex + ", RXExpected=" + expectedHex + ":\r\n";
    if (m_tally.empty())
        list += "None\r\n";
    for (const auto& [answer, count] : m_tally) {
        CString entry;
        entry.Format("%s - %d\r\n", answer.c_str(), count);
        list += entry;
    }
    list += "-----------------------------\r\n";
    SetDlgItemText(kFailureListId, list);
}

void CMultiDropCommTestDlg::OnClose()
{
    m_stop = 1;
    SaveSettings();
    if (m_running) {
        // The test's loop is still on the stack: it closes the window once it has ended.
        m_closePending = true;
        return;
    }
    DestroyWindow();
}

void CMultiDropCommTestDlg::OnCancel() { OnClose(); }
