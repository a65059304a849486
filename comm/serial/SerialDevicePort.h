// CSerialDevicePort: a serial device with its settings, opened and configured
// in one call, with byte and text reads and writes that trace what passes.
// It has no lock of its own: its owner serialises every call.
#pragma once

#include "platform/core/String.h"
#include "platform/io/SerialEx.h"

class CSerialDevicePort : public CSerialEx {
public:
    static constexpr DWORD kQueueSize = 2048;
    static constexpr int kTextReadSize = 254;

    CSerialDevicePort() = default;
    ~CSerialDevicePort() override;

    // Closes, then answers 1.
    LONG Close() override;

    // 1 when open and configured; 0 after a failure (with a message box when asked).
    int OpenDevice(BOOL showMessage);
    // 1 when every byte was written.
    int WriteBytes(const BYTE* bytes, int count);
    // The count read (0 when nothing waits), -1 on failure.
    int ReadBytes(BYTE* buffer, int size, BOOL trace);
    int WriteString(const CString& text);
    // 1 with the bytes read as the text; 0 with an empty text on failure.
    int ReadString(CString& text);

    // "Serial >>>>:" or "Serial <<<<:" and the bytes in hexadecimal, to the link trace.
    static void TraceBytes(bool sent, const BYTE* bytes, int count);

    CString m_description;
    CString m_portName;
    BYTE m_dataBits = 8;
    BYTE m_stopBits = ONESTOPBIT;
    BYTE m_handshaking = EHandshakeOff;
    BYTE m_parity = NOPARITY;
    DWORD m_baudRate = 9600;

private:
    LONG OpenAndConfigure();
    void ShowOpenFailure();
};
