#include "SerialFlashProgrammer.h"

#include <cctype>

#include "FlashUpdateLibrary.h"
#include "foundation/FileHelpers.h"
#include "foundation/HPTimer.h"
#include "platform/core/Clock.h"

namespace {

constexpr int kQueueSize = 2048;
constexpr int kAckTimeoutMs = 10000;
constexpr int kEchoTimeoutMs = 10000;
constexpr int kAutoBaudTimeoutMs = 3000;
constexpr DWORD kWriteTimeoutMs = 10000;
// How long one wait for input lasts before the time-out is looked at again.
constexpr DWORD kReadSliceMs = 20;
constexpr double kProgressIntervalSeconds = 0.5;
constexpr int kFirmwareHeaderBytes = 22;
constexpr int kWordsPerChecksum = 128;
constexpr int kStatusPacketMaxData = 20;

struct CpuName {
    int code;
    const char* name;
};
constexpr CpuName kCpuNames[] = {{1, "CPU1"}, {2, "CPU2"}, {3, "CM"}};

struct KernelStatusText {
    WORD status;
    const char* text;
};
constexpr KernelStatusText kKernelStatusTexts[] = {
    {0x2000, "ERROR Status: BLANK_ERROR"},
    {0x3000, "ERROR Status: VERIFY_ERROR"},
    {0x4000, "ERROR Status: PROGRAM_ERROR"},
    {0x5000, "ERROR Status: COMMAND_ERROR"},
    {0x7000, "Flash API Error: Incorrect Data Buffer Length"},
    {0x8000, "Flash API Error: Incorrect ECC Buffer Length"},
    {0x9000, "Flash API Error: Data ECC Buffer Length Mismatch"},
    {0xA000, "Flash API Error: Flash Registers not Writable"},
    {0xB000, "Flash API Error: Feature not Available"},
    {0xC000, "Flash API Error: Invalid Address"},
    {0xD000, "Flash API Error: Invalid CPUID"},
    {0xE000, "Flash API Error: Failure"},
};

bool SkipLeadingCharacters(FILE* file)
{
    for (int i = 0; i < 3; ++i)
        if (std::fgetc(file) == EOF)
            return false;
    return true;
}

}  // namespace

CSerialFlashProgrammer::CSerialFlashProgrammer() = default;

CSerialFlashProgrammer::~CSerialFlashProgrammer()
{
    delete m_library;
}

void CSerialFlashProgrammer::SetPort(const CString& portName, int baudRate)
{
    m_portName = portName;
    m_baudRate = baudRate;
}

int CSerialFlashProgrammer::OpenNamedPort(const CString& portName, int baudRate)
{
    if (!portName.IsEmpty())
        m_portName = portName;
    return OpenPort(m_portName, baudRate);
}

int CSerialFlashProgrammer::OpenPort(const CString& portName, int baudRate)
{
    // A run that stopped part-way leaves the port open; running again must work.
    if (m_serial.IsOpen())
        m_serial.Close();
    if (m_serial.Open(portName, kQueueSize, kQueueSize, false) != ERROR_SUCCESS ||
        m_serial.Configure(static_cast<DWORD>(baudRate), 8, NOPARITY, ONESTOPBIT) != ERROR_SUCCESS ||
        m_serial.SetReadTimeouts(CSerial::EReadTimeoutBlocking) != ERROR_SUCCESS) {
        m_serial.Close();
        SetError("Could not open serial port.");
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::ClosePort()
{
    return m_serial.Close() == ERROR_SUCCESS ? 1 : 0;
}

int CSerialFlashProgrammer::ReadByte(BYTE* value, int timeoutMs, int checksum)
{
    // Whole seconds only: anything below one second gives up at once.
    const int timeoutSeconds = timeoutMs / 1000;
    CHPTimer timer;
    timer.Restart();
    while (timeoutSeconds < 0 || timer.GetElapsedSeconds() < timeoutSeconds) {
        BYTE received = 0;
        DWORD count = 0;
        // Waits a short slice for input rather than spinning; the time-out is
        // still measured by the stopwatch.
        const LONG error = m_serial.Read(&received, 1, &count, nullptr, kReadSliceMs);
        if (error != ERROR_SUCCESS && error != ERROR_TIMEOUT) {
            SetError("Serial read error.");
            return 0;
        }
        if (count == 0)
            continue;
        if (checksum)
            m_receiveChecksum = static_cast<WORD>(m_receiveChecksum + received);
        if (value)
            *value = received;
        return 1;
    }
    SetError("Serial read timeout error");
    return 0;
}

int CSerialFlashProgrammer::ReadWord(WORD* value, int timeoutMs, int checksum, int acknowledge)
{
    BYTE low = 0;
    BYTE high = 0;
    if (!ReadByte(&low, timeoutMs, checksum))
        return 0;
    if (acknowledge && !WriteByte(kAck, 0))
        AppendError(" - Failed on ACK.");
    if (!ReadByte(&high, timeoutMs, checksum))
        return 0;
    if (acknowledge)
        SendAck();
    if (value)
        *value = static_cast<WORD>(high * 256 + low);
    return 1;
}

int CSerialFlashProgrammer::ReadData(BYTE* /*data*/, int /*count*/, int /*checksum*/)
{
    return 1;
}

int CSerialFlashProgrammer::WriteByte(BYTE value, int checksum)
{
    DWORD written = 0;
    if (m_serial.Write(&value, 1, &written, nullptr, kWriteTimeoutMs) != ERROR_SUCCESS || written != 1) {
        SetError("Serial write error.");
        return 0;
    }
    if (checksum)
        m_transmitChecksum = static_cast<WORD>(m_transmitChecksum + value);
    return 1;
}

int CSerialFlashProgrammer::WriteWord(WORD value, int checksum)
{
    return WriteByte(static_cast<BYTE>(value & 0xFF), checksum) && WriteByte(static_cast<BYTE>(value >> 8), checksum);
}

int CSerialFlashProgrammer::WriteData(const BYTE* data, int count, int checksum)
{
    for (int i = 0; i < count; ++i) {
        if (!WriteByte(data[i], checksum)) {
            AppendError(" - Failed on writing data.");
            return 0;
        }
    }
    return 1;
}

int CSerialFlashProgrammer::PurgeInput()
{
    // Stale bytes after a failure would otherwise be taken for the next answer.
    if (m_serial.IsOpen())
        m_serial.Purge(PURGE_RXABORT | PURGE_RXCLEAR);
    return 1;
}

void CSerialFlashProgrammer::Pause(DWORD milliseconds)
{
    Sleep(milliseconds);
}

CString CSerialFlashProgrammer::GetCpuName(int cpuCode)
{
    for (const CpuName& entry : kCpuNames)
        if (entry.code == cpuCode)
            return entry.name;
    return "Invalid CPU code";
}

CString CSerialFlashProgrammer::GetKernelStatusText(WORD status)
{
    for (const KernelStatusText& entry : kKernelStatusTexts)
        if (entry.status == status)
            return entry.text;
    return "Error not recognized";
}

int CSerialFlashProgrammer::SendAck()
{
    if (!WriteByte(kAck, 0)) {
        AppendError(" - Failed on ACK.");
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::ReadAckNak()
{
    BYTE answer = 0;
    if (!ReadByte(&answer, kAckTimeoutMs, 0)) {
        AppendError(" - Failed on ACK.");
        return -1;
    }
    if (answer == kAck)
        return 1;
    if (answer == kNak)
        return 0;
    SetError("Unexpected non-ACK/NAK character received.");
    return -1;
}

int CSerialFlashProgrammer::AutoBaudLock()
{
    if (!WriteByte('a', 1)) {
        AppendError(" - Failed writing autobaudlock character.");
        return 0;
    }
    BYTE echo = 0;
    if (!ReadByte(&echo, kAutoBaudTimeoutMs, 1)) {
        AppendError(" - Failed reading autobaudlock character.");
        return 0;
    }
    if (echo != 'a') {
        SetError("Invalid autobaudlock character received.");
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::SendCommand(WORD command, int dataLength, const BYTE* data)
{
    if (dataLength < 0 || dataLength >= kMaxPacketSize) {
        SetError("Packet length exceeds nMaxPacketSize.");
        return 0;
    }
    BYTE packet[kPacketBufferSize];
    int size = 0;
    auto put = [&](BYTE b) { packet[size++] = b; };
    put(kPacketHeader & 0xFF);
    put(kPacketHeader >> 8);
    put(static_cast<BYTE>(dataLength & 0xFF));
    put(static_cast<BYTE>(dataLength >> 8));
    put(static_cast<BYTE>(command & 0xFF));
    put(static_cast<BYTE>(command >> 8));
    WORD sum = static_cast<WORD>((command & 0xFF) + (command >> 8));
    for (int i = 0; i < dataLength; ++i) {
        put(data[i]);
        sum = static_cast<WORD>(sum + data[i]);
    }
    put(static_cast<BYTE>(sum & 0xFF));
    put(static_cast<BYTE>(sum >> 8));
    put(kPacketFooter & 0xFF);
    put(kPacketFooter >> 8);

    if (!WriteData(packet, size, 0)) {
        AppendError(" - Failed sending packet.");
        return 0;
    }
    const int answer = ReadAckNak();
    if (answer == 1)
        return 1;
    SetError(answer == 0 ? "Packet write rejected by kernel." : "Error reading packet.");
    return 0;
}

int CSerialFlashProgrammer::ReadPacket(WORD* command, WORD* data, int maxDataLength)
{
    const int acknowledge = m_cpuCode != cpuCm;
    auto fail = [&](const char* text, bool append) {
        if (append)
            AppendError(text);
        else
            SetError(text);
        if (!WriteByte(kNak, 0))
            AppendError(" - Failed on NAK.");
        PurgeInput();
        return 0;
    };

    WORD header = 0;
    if (!ReadWord(&header, kAckTimeoutMs, 0, acknowledge))
        return fail(" - Failed reading packet header.", true);
    if (header != kPacketHeader)
        return fail("Invalid packet header.", false);
    WORD length = 0;
    if (!ReadWord(&length, kAckTimeoutMs, 0, acknowledge))
        return fail(" - Failed reading packet data length.", true);
    if (length >= maxDataLength)
        return fail("Data length exceeds nMaxDataSize.", false);
    m_receiveChecksum = 0;
    WORD received = 0;
    if (!ReadWord(&received, kAckTimeoutMs, 1, acknowledge))
        return fail(" - Failed reading packet command.", true);
    for (int i = 0; i < length / 2; ++i)
        if (!ReadWord(&data[i], kAckTimeoutMs, 1, acknowledge))
            return fail(" - Failed reading packet data.", true);
    WORD checksum = 0;
    if (!ReadWord(&checksum, kAckTimeoutMs, 0, acknowledge))
        return fail(" - Failed expecting checksum. - Failed reading packet.", true);
    if (checksum != m_receiveChecksum)
        return fail("Invalid checksum.", false);
    WORD footer = 0;
    if (!ReadWord(&footer, kAckTimeoutMs, 0, acknowledge))
        return fail(" - Failed reading packet footer.", true);
    if (footer != kPacketFooter)
        return fail("Invalid packet footer.", false);
    SendAck();
    if (command)
        *command = received;
    return 1;
}

bool CSerialFlashProgrammer::ReadHexValue(FILE* file, unsigned int* value)
{
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(c))
        c = std::fgetc(file);
    unsigned int result = 0;
    int digits = 0;
    for (; c != EOF && std::isxdigit(c); c = std::fgetc(file), ++digits) {
        const int digit = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        result = (result << 4) | static_cast<unsigned int>(digit);
    }
    if (c != EOF)
        std::ungetc(c, file);
    if (digits == 0)
        return false;
    *value = result;
    return true;
}

bool CSerialFlashProgrammer::ReportProgressIfDue(CHPTimer& timer, FILE* file)
{
    if (timer.GetElapsedSeconds() < kProgressIntervalSeconds)
        return false;
    ReportProgress(static_cast<int>(std::ftell(file)), CString());
    timer.Restart();
    return true;
}

int CSerialFlashProgrammer::StreamKernel(FILE* file, int fileSize)
{
    if (!SkipLeadingCharacters(file)) {
        SetError("File read error while loading kernel.");
        return 0;
    }
    BeginProgress(fileSize, "Loading " + GetCpuName(m_cpuCode) + " kernel...");
    CHPTimer timer;
    timer.Restart();
    for (;;) {
        if (m_cancel)
            return 0;
        ReportProgressIfDue(timer, file);
        unsigned int value = 0;
        if (!ReadHexValue(file, &value))
            break;
        const BYTE sent = static_cast<BYTE>(value & 0xFF);
        BYTE echo = 0;
        if (!WriteByte(sent, 1) || !ReadByte(&echo, kEchoTimeoutMs, 1)) {
            AppendError(" - Failed during kernel load.");
            return 0;
        }
        if (echo != sent) {
            SetError("Data error occurred during kernel load.");
            return 0;
        }
    }
    ReportProgress(fileSize, CString());
    Pause(3000);
    PurgeInput();
    return 1;
}

int CSerialFlashProgrammer::LoadKernel(const CString& path, int flags)
{
    m_lastError.Empty();
    ReportStatus(CString((flags & flagSecondaryKernel) ? "Loading secondary Kernel for " : "Loading Kernel for ") +
                 GetCpuName(m_cpuCode) + "...");
    if (!(flags & flagNoAutoBaud) && !AutoBaudLock()) {
        ReportError();
        return 0;
    }
    if (!FileExists(path)) {
        m_lastError.Format("Kernel file \"%s\" not found.", path.GetString());
        ReportError();
        return 0;
    }
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        SetError("Cannot open kernel file.");
        ReportError();
        return 0;
    }
    m_cancel = 0;
    const int result = StreamKernel(file, GetFileSizeByName(path));
    PurgeInput();
    std::fclose(file);
    if (result) {
        ReportStatus(GetCpuName(m_cpuCode) + " Kernel load complete.");
        return 1;
    }
    if (!m_cancel)
        ReportError();
    return 0;
}

int CSerialFlashProgrammer::SendFirmwareValue(FILE* file, BYTE* sent)
{
    unsigned int value = 0;
    if (!ReadHexValue(file, &value)) {
        SetError("Not a valid firmware file.");
        return 0;
    }
    *sent = static_cast<BYTE>(value & 0xFF);
    if (!WriteByte(*sent, 1)) {
        AppendError(" - Failed while loading firmware.");
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::CheckStreamChecksum()
{
    WORD checksum = 0;
    if (!ReadWord(&checksum, kAckTimeoutMs, 0, 1)) {
        AppendError(" - Failed expecting checksum. - Failed loading firmware.");
        return 0;
    }
    if (checksum != m_transmitChecksum) {
        SetError("Checksum failed during firmware load.");
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::StreamFirmware(FILE* file, int fileSize)
{
    m_receiveChecksum = 0;
    m_transmitChecksum = 0;
    if (!SkipLeadingCharacters(file)) {
        SetError("Not a valid firmware file.");
        return 0;
    }
    BeginProgress(fileSize, "Loading " + GetCpuName(m_cpuCode) + " firmware...");
    for (int i = 0; i < kFirmwareHeaderBytes; ++i) {
        unsigned int value = 0;
        if (!ReadHexValue(file, &value)) {
            SetError("Not a valid firmware file.");
            return 0;
        }
        if (!WriteByte(static_cast<BYTE>(value & 0xFF), 1)) {
            AppendError(" - Failed on loading firmware.");
            return 0;
        }
    }
    if (!CheckStreamChecksum())
        return 0;

    CHPTimer timer;
    timer.Restart();
    for (;;) {
        if (m_cancel)
            return 0;
        BYTE first = 0;
        BYTE second = 0;
        if (!SendFirmwareValue(file, &first) || !SendFirmwareValue(file, &second))
            return 0;
        const int words = m_cpuCode == cpuCm ? (first * 256 + second) / 2 : second * 256 + first;
        if (words == 0) {
            ReportProgress(fileSize, CString());
            return 1;
        }
        BYTE ignored = 0;
        for (int i = 0; i < 4; ++i)
            if (!SendFirmwareValue(file, &ignored))
                return 0;
        for (int m = 0; m < words; ++m) {
            if (m_cancel)
                return 0;
            ReportProgressIfDue(timer, file);
            if (m > 0 && m % kWordsPerChecksum == 0 && !CheckStreamChecksum())
                return 0;
            if (!SendFirmwareValue(file, &ignored) || !SendFirmwareValue(file, &ignored))
                return 0;
        }
        if (!CheckStreamChecksum())
            return 0;
    }
}

WORD CSerialFlashProgrammer::LoadCommandForCpu() const
{
    switch (m_cpuCode) {
    case cpuCpu1:
        return cmdLoadCpu1;
    case cpuCpu2:
        return cmdLoadCpu2;
    case cpuCm:
        return cmdLoadCm;
    default:
        return 0;
    }
}

int CSerialFlashProgrammer::ReadKernelStatus(WORD sentCommand)
{
    WORD command = 0;
    WORD data[kStatusPacketMaxData / 2] = {};
    if (!ReadPacket(&command, data, kStatusPacketMaxData)) {
        AppendError(" - Failed to load firmware.");
        return 0;
    }
    if (command != sentCommand) {
        AppendError(" - Load firmware error.");
        return 0;
    }
    if (data[0] != kKernelStatusOk) {
        m_lastError.Format("Kernel reported error: %s.", GetKernelStatusText(data[0]).GetString());
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammer::LoadFirmware(const CString& path, int flags)
{
    m_lastError.Empty();
    ReportStatus("Loading Firmware for " + GetCpuName(m_cpuCode) + "...");
    const bool withCommand = !(flags & flagNoLoadCommand);
    const WORD command = LoadCommandForCpu();
    if (withCommand && command == 0) {
        SetError("Invalid CPU selected for firmware load.");
        ReportError();
        return 0;
    }
    // The file is opened before the kernel is told to expect it, so that a
    // missing file leaves the kernel ready for another command.
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        m_lastError.Format("Could not open file \"%s\".", path.GetString());
        ReportError();
        return 0;
    }
    if (withCommand && !SendCommand(command, 0, nullptr)) {
        std::fclose(file);
        AppendError(" - Failed while loading firmware.");
        ReportError();
        return 0;
    }
    m_cancel = 0;
    const int streamed = StreamFirmware(file, GetFileSizeByName(path));
    std::fclose(file);
    if (!streamed) {
        if (!m_cancel)
            ReportError();
        return 0;
    }
    if (!withCommand)
        return streamed;
    if (!ReadKernelStatus(command)) {
        ReportError();
        return 0;
    }
    ReportStatus(GetCpuName(m_cpuCode) + " Firmware load complete.");
    return 1;
}

int CSerialFlashProgrammer::BootCpu2()
{
    ReportStatus("Booting to CPU2...");
    if (!SendCommand(cmdBootCpu2, 0, nullptr)) {
        AppendError(" - Failed while loading firmware.");
        return 0;
    }
    Pause(1000);
    return 1;
}

int CSerialFlashProgrammer::BootCm()
{
    ReportStatus("Booting to CM...");
    if (!SendCommand(cmdBootCm, 0, nullptr)) {
        AppendError(" - Failed while loading firmware.");
        return 0;
    }
    return 1;
}

void CSerialFlashProgrammer::ReportAction(const CString& text)
{
    if (m_reportCallback)
        m_reportCallback->ReportAction(text);
}

void CSerialFlashProgrammer::ReportStatus(const CString& text)
{
    if (m_reportCallback)
        m_reportCallback->ReportStatus(text);
}

void CSerialFlashProgrammer::BeginProgress(int total, const CString& text)
{
    if (m_reportCallback)
        m_reportCallback->BeginProgress(total, text);
}

void CSerialFlashProgrammer::ReportProgress(int position, const CString& text)
{
    if (m_reportCallback)
        m_reportCallback->ReportProgress(position, text);
}

void CSerialFlashProgrammer::ReportError(const CString& text)
{
    if (m_reportCallback)
        m_reportCallback->ReportError(text.IsEmpty() ? m_lastError : text);
}

CFlashUpdateLibrary* CSerialFlashProgrammer::Library()
{
    if (!m_library)
        m_library = new CFlashUpdateLibrary(*this);
    return m_library;
}

int CSerialFlashProgrammer::LibraryResult(int succeeded)
{
    if (succeeded)
        return 1;
    SetError(m_library->GetLastErrorText());
    ReportError();
    return 0;
}

int CSerialFlashProgrammer::LinkLibrary(const CString& libraryPath)
{
    return LibraryResult(Library()->Link(libraryPath));
}

int CSerialFlashProgrammer::LoadKernelThroughLibrary(const CString& kernelPath)
{
    return LibraryResult(
        Library()->LoadKernel(kernelPath, m_portName, static_cast<unsigned int>(m_baudRate), m_messagePump));
}

int CSerialFlashProgrammer::EraseThroughLibrary()
{
    return LibraryResult(Library()->Erase(m_messagePump));
}

int CSerialFlashProgrammer::ProgramThroughLibrary(const CString& imagePath, int verify)
{
    return LibraryResult(Library()->Program(imagePath, verify, m_messagePump));
}

void CSerialFlashProgrammer::UnlinkLibrary()
{
    if (m_library)
        m_library->Unlink();
}
