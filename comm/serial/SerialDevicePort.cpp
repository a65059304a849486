#include "comm/serial/SerialDevicePort.h"

#include "comm/trace/CommDebugTrace.h"
#include "platform/core/MessageBox.h"

CSerialDevicePort::~CSerialDevicePort() { CSerialDevicePort::Close(); }

LONG CSerialDevicePort::Close()
{
    CSerialEx::Close();
    return 1;
}

int CSerialDevicePort::OpenDevice(BOOL showMessage)
{
    if (IsOpen())
        Close();
    if (OpenAndConfigure() == ERROR_SUCCESS)
        return 1;
    const LONG error = m_lastError;
    if (showMessage)
        ShowOpenFailure();
    Close();
    m_lastError = error;
    return 0;
}

LONG CSerialDevicePort::OpenAndConfigure()
{
    if (CSerial::Open(m_portName, kQueueSize, kQueueSize, true) != ERROR_SUCCESS)
        return m_lastError;
    if (CreateStopEvent() != ERROR_SUCCESS || StartListener() != ERROR_SUCCESS)
        return m_lastError;
    if (Configure(m_baudRate, m_dataBits, m_parity, m_stopBits) != ERROR_SUCCESS)
        return m_lastError;
    if (SetHandshaking(m_handshaking) != ERROR_SUCCESS)
        return m_lastError;
    return StartListener();
}

void CSerialDevicePort::ShowOpenFailure()
{
    CString text;
    text.Format("Could not open serial device: %s (%s) - %s", m_description.GetString(), m_portName.GetString(),
                m_lastError == ERROR_ALREADY_EXISTS ? "Already in use." : "Access denied.");
    const CString group = SerialDeviceGroup(m_portName);
    if (m_lastError == ERROR_ACCESS_DENIED && !group.IsEmpty())
        text += "\r\n\r\nYour account may not use this port: it needs the group \"" + group +
                "\" that owns the device (sudo usermod -aG " + group + " $USER, then log in again).";
    AfxEngineMessageBox(text, "Korvane", MB_OK);
}

int CSerialDevicePort::WriteBytes(const BYTE* bytes, int count)
{
    if (!IsOpen() && !OpenDevice(FALSE))
        return 0;
    TraceBytes(true, bytes, count);
    return Write(bytes, static_cast<DWORD>(count)) == ERROR_SUCCESS ? 1 : 0;
}

int CSerialDevicePort::ReadBytes(BYTE* buffer, int size, BOOL trace)
{
    if (!IsOpen() && !OpenDevice(FALSE))
        return -1;
    DWORD read = 0;
    if (Read(buffer, static_cast<DWORD>(size), &read) != ERROR_SUCCESS)
        return -1;
    if (trace && read > 0)
        TraceBytes(false, buffer, static_cast<int>(read));
    return static_cast<int>(read);
}

int CSerialDevicePort::WriteString(const CString& text)
{
    if (!IsOpen() && !OpenDevice(FALSE))
        return 0;
    return WriteText(text) == ERROR_SUCCESS ? 1 : 0;
}

int CSerialDevicePort::ReadString(CString& text)
{
    BYTE buffer[kTextReadSize];
    const int read = ReadBytes(buffer, kTextReadSize, FALSE);
    text.Empty();
    if (read < 0)
        return 0;
    for (int i = 0; i < read; ++i)
        text += static_cast<char>(buffer[i]);
    return 1;
}

void CSerialDevicePort::TraceBytes(bool sent, const BYTE* bytes, int count)
{
    CString line(sent ? "Serial >>>>:" : "Serial <<<<:");
    for (int i = 0; i < count; ++i)
        line.AppendFormat("%02x", bytes[i]);
    CommDebugTrace(line);
}
