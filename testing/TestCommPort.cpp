#include "testing/TestCommPort.h"

#include <algorithm>

#include "comm/protocol/LinkFrame.h"

std::vector<BYTE> EncodeFrame(const CAmpMsg& frame)
{
    BYTE bytes[CLinkFrame::kMaxLength];
    const int length = CLinkFrame::Encode(frame, bytes);
    return std::vector<BYTE>(bytes, bytes + length);
}

namespace {
std::vector<CAmpMsg> DecodeFrames(std::vector<BYTE>& bytes)
{
    CRingBuff ring(14);
    ring.Write(bytes.data(), static_cast<int>(bytes.size()));
    std::vector<CAmpMsg> frames;
    for (;;) {
        RingBuffState start;
        ring.SaveState(start);
        CAmpMsg frame;
        const int result = CLinkFrame::Read(ring, frame);
        if (result == CLinkFrame::kIncomplete) {
            ring.RestoreState(start);
            break;
        }
        if (result == CLinkFrame::kRead)
            frames.push_back(frame);
    }
    std::vector<BYTE> rest(static_cast<size_t>(ring.GetCount()));
    if (!rest.empty())
        ring.Read(static_cast<int>(rest.size()), rest.data());
    bytes.swap(rest);
    return frames;
}
}  // namespace

TestCommPort::~TestCommPort()
{
    if (m_destroyedFlag)
        *m_destroyedFlag = 1;
}

int TestCommPort::Open()
{
    if (m_openResult == 1)
        SetOpenState(1);
    return m_openResult;
}

int TestCommPort::Close()
{
    SetOpenState(0);
    if (m_closedFlag)
        *m_closedFlag = 1;
    return 1;
}

int TestCommPort::Write(int count, const BYTE* bytes)
{
    std::vector<CAmpMsg> frames;
    Responder responder;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        ++m_writeCalls;
        if (m_failWrites)
            return 0;
        m_written.insert(m_written.end(), bytes, bytes + count);
        if (m_responder) {
            m_unparsed.insert(m_unparsed.end(), bytes, bytes + count);
            frames = DecodeFrames(m_unparsed);
            responder = m_responder;
        }
    }
    for (const CAmpMsg& frame : frames)
        responder(frame, *this);
    return 1;
}

int TestCommPort::Read(int maximum, BYTE* buffer)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_chatter) {
        std::fill(buffer, buffer + std::min(maximum, 16), BYTE{0});
        return std::min(maximum, 16);
    }
    int count = 0;
    while (count < maximum && !m_input.empty()) {
        buffer[count++] = m_input.front();
        m_input.pop_front();
    }
    return count;
}

int TestCommPort::IdentifyDrive(int address)
{
    const auto it = m_identify.find(address);
    return it == m_identify.end() ? 0 : it->second;
}

int TestCommPort::Purge(int /*what*/)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    ++m_purges;
    m_input.clear();
    return 1;
}

int TestCommPort::EnterSync()
{
    ++m_syncEntered;
    return 1;
}

void TestCommPort::LeaveSync() { ++m_syncLeft; }

void TestCommPort::QueueInput(const std::vector<BYTE>& bytes)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_input.insert(m_input.end(), bytes.begin(), bytes.end());
}

void TestCommPort::QueueFrame(const CAmpMsg& frame) { QueueInput(EncodeFrame(frame)); }

std::vector<BYTE> TestCommPort::TakeWritten()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<BYTE> written;
    written.swap(m_written);
    return written;
}

std::vector<CAmpMsg> TestCommPort::TakeWrittenFrames()
{
    std::vector<BYTE> bytes = TakeWritten();
    return DecodeFrames(bytes);
}

int TestCommPort::PendingInput()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return static_cast<int>(m_input.size());
}

int TestCommPort::GetWriteCalls()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_writeCalls;
}

void TestCommPort::SetResponder(Responder responder)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_responder = std::move(responder);
    m_unparsed.clear();
}

void TestCommPort::EchoAll()
{
    SetResponder([](const CAmpMsg& frame, TestCommPort& port) { port.QueueFrame(frame); });
}
