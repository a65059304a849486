// CMultiDropCommTestDlg: sends one fixed serial request to one drive of a
// multi-drop line again and again on a COM port of its own, compares every
// answer with the expected bytes and reports the failures with their timing.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "comm/serial/SerialDevicePort.h"
#include "platform/ui/Dialog.h"

// Lower-case hexadecimal, two digits a byte, no separators.
CString FormatHexBytes(const BYTE* bytes, int count);

class CMultiDropCommTestDlg : public CDialog {
public:
    enum { IDD = 391 };
    static constexpr int kComComboId = 3911;
    static constexpr int kDriveComboId = 3912;
    static constexpr int kTxEditId = 3913;
    static constexpr int kRxEditId = 3914;
    static constexpr int kContinuousId = 3915;
    static constexpr int kStartId = 3916;
    static constexpr int kStopId = 3917;
    static constexpr int kClearId = 3918;
    static constexpr int kCounterId = 3919;
    static constexpr int kLogId = 3920;
    static constexpr int kFailureListId = 3921;
    static constexpr int kReadBufferSize = 255;
    static constexpr int kTimeoutMs = 200;

    explicit CMultiDropCommTestDlg(CWnd* parent = nullptr);
    ~CMultiDropCommTestDlg() override;

    // "COMn" is the n-th serial port of the enumeration (name order), or
    // /dev/ttyS<n-1> when there are fewer ports.
    static CString DevicePathOf(int comNumber);
    // The drive address put into a frame's header and its check byte: at the
    // place the header's width gives (a request's after its value, a reply's
    // right after its value bytes), or the last byte when the data is shorter.
    static void SetFrameAddress(std::vector<BYTE>& bytes, int address, bool reply);

    BOOL OnInitDialog() override;
    void OnStartTest();
    void OnStopTest() { m_stop = 1; }
    void OnClear();
    void OnClose();
    void OnCancel() override;
    bool IsTestRunning() const { return m_running; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    enum Outcome { kPass = 0, kWriteError = -1, kReadError = -2, kMismatch = -3, kTimeout = -4 };

    int Transaction(const std::vector<BYTE>& tx, const std::vector<BYTE>& expected, std::vector<BYTE>& received,
                    DWORD& replyMs);
    // False when the test ended (stopped or a failure without "Run continuously").
    bool RunPass(const std::vector<BYTE>& tx, const std::vector<BYTE>& expected);
    void ReportFailure(int outcome, DWORD cycles, const std::vector<BYTE>& tx, const std::vector<BYTE>& expected,
                       const std::vector<BYTE>& received, DWORD replyMs, DWORD sum, DWORD max);
    void AppendLog(const CString& text);
    void LoadSettings();
    void SaveSettings();
    CString SettingsPath() const;
    void EndTest();

    CSerialDevicePort m_device;
    int m_stop = 0;
    bool m_running = false;
    bool m_closePending = false;
    DWORD m_failures = 0;
    std::map<std::string, int> m_tally;
    DWORD m_testStartMs = 0;
    CString m_log;
};
