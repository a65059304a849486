// CSerialFlashProgrammer: programs a drive's processors (CPU1, CPU2, CM)
// through their serial boot loaders: baud-rate lock, a programming kernel
// streamed byte by byte with echoes, then the firmware image in blocks that
// the kernel confirms with checksums and a final status packet.
//
// Failures return 0 and leave a text: a text beginning with " - " is
// appended to the one already there, so a failure reads as a chain from the
// lowest level up; any other text replaces it.
#pragma once

#include <cstdio>
#include <functional>

#include "SerialFlashProgrammerReportCB.h"
#include "platform/core/String.h"
#include "platform/io/SerialEx.h"

class CFlashUpdateLibrary;
class CHPTimer;

class CSerialFlashProgrammer {
public:
    static constexpr BYTE kAck = 0x2D;
    static constexpr BYTE kNak = 0xA5;
    static constexpr WORD kPacketHeader = 0x1BE4;
    static constexpr WORD kPacketFooter = 0xE41B;
    static constexpr int kMaxPacketSize = 496;
    static constexpr int kPacketBufferSize = 1000;

    enum Command : WORD {
        cmdBootCpu2 = 0x0007,
        cmdBootCm = 0x0040,
        cmdLoadCm = 0x0050,
        cmdLoadCpu1 = 0x0100,
        cmdLoadCpu2 = 0x0200,
    };
    enum Cpu { cpuCpu1 = 1, cpuCpu2 = 2, cpuCm = 3 };
    enum LoadFlags {
        flagNoAutoBaud = 2,
        flagSecondaryKernel = 4,
        flagNoLoadCommand = 8,
    };
    static constexpr WORD kKernelStatusOk = 0x1000;

    CSerialFlashProgrammer();
    virtual ~CSerialFlashProgrammer();
    CSerialFlashProgrammer(const CSerialFlashProgrammer&) = delete;
    CSerialFlashProgrammer& operator=(const CSerialFlashProgrammer&) = delete;

    virtual int OpenPort(const CString& portName, int baudRate);
    virtual int ClosePort();
    virtual int ReadByte(BYTE* value, int timeoutMs, int checksum);
    virtual int ReadWord(WORD* value, int timeoutMs, int checksum, int acknowledge);
    virtual int ReadData(BYTE* data, int count, int checksum);
    virtual int WriteByte(BYTE value, int checksum);
    virtual int WriteWord(WORD value, int checksum);
    virtual int WriteData(const BYTE* data, int count, int checksum);
    virtual int PurgeInput();

    void SetReportCallback(CSerialFlashProgrammerReportCB* callback) { m_reportCallback = callback; }
    CSerialFlashProgrammerReportCB* GetReportCallback() const { return m_reportCallback; }
    void SetPort(const CString& portName, int baudRate);
    void SetPortName(const CString& portName) { m_portName = portName; }
    CString GetPortName() const { return m_portName; }
    int GetBaudRate() const { return m_baudRate; }
    // An empty name opens the port named before.
    int OpenNamedPort(const CString& portName, int baudRate);
    CString GetLastErrorText() const { return m_lastError; }

    void SetCpu(int cpuCode) { m_cpuCode = cpuCode; }
    int GetCpu() const { return m_cpuCode; }
    static CString GetCpuName(int cpuCode);
    // Asks a running kernel or firmware stream to stop.
    void Cancel() { m_cancel = 1; }

    int AutoBaudLock();
    int LoadKernel(const CString& path, int flags);
    int LoadFirmware(const CString& path, int flags);
    int BootCpu2();
    int BootCm();
    int SendCommand(WORD command, int dataLength, const BYTE* data);
    int ReadPacket(WORD* command, WORD* data, int maxDataLength);
    int SendAck();
    // 1 for ACK, 0 for NAK, -1 for anything else or nothing.
    int ReadAckNak();
    static CString GetKernelStatusText(WORD status);

    // Programming through an outside flash-update library.
    int LinkLibrary(const CString& libraryPath);
    int LoadKernelThroughLibrary(const CString& kernelPath);
    int EraseThroughLibrary();
    int ProgramThroughLibrary(const CString& imagePath, int verify);
    void UnlinkLibrary();
    // Runs while a library operation is busy and no report waits, so that a
    // window can keep its messages flowing.
    void SetMessagePump(std::function<void()> pump) { m_messagePump = std::move(pump); }

    void ReportAction(const CString& text);
    void ReportStatus(const CString& text);
    void BeginProgress(int total, const CString& text);
    void ReportProgress(int position, const CString& text);
    // An empty text reports the last error.
    void ReportError(const CString& text = CString());

protected:
    // The pauses the protocol asks for; tests shorten them.
    virtual void Pause(DWORD milliseconds);
    void SetError(const CString& text) { m_lastError = text; }
    void AppendError(const char* suffix) { m_lastError += suffix; }

private:
    // Stream helpers: the image files are hexadecimal byte values after three
    // leading characters.
    static bool ReadHexValue(FILE* file, unsigned int* value);
    bool ReportProgressIfDue(CHPTimer& timer, FILE* file);
    int StreamKernel(FILE* file, int fileSize);
    int StreamFirmware(FILE* file, int fileSize);
    int SendFirmwareValue(FILE* file, BYTE* sent);
    int CheckStreamChecksum();
    WORD LoadCommandForCpu() const;
    int ReadKernelStatus(WORD sentCommand);
    CFlashUpdateLibrary* Library();
    int LibraryResult(int succeeded);

    WORD m_receiveChecksum = 0;
    WORD m_transmitChecksum = 0;
    CString m_portName;
    CString m_lastError;
    int m_cpuCode = -1;
    int m_baudRate = 38400;
    int m_cancel = 0;
    CFlashUpdateLibrary* m_library = nullptr;
    CSerialFlashProgrammerReportCB* m_reportCallback = nullptr;
    CSerialEx m_serial;
    std::function<void()> m_messagePump;
};
