// libFuzzer target for the link frame parser and the reply dispatcher. The
// first byte picks options; the rest arrives in chunks into the receive ring,
// and every chunk is parsed and dispatched against a queue of waiting jobs.
// Checked: no crash, no hang, and what stays in the ring is never more than
// one unfinished reply.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "comm/link/CommManager.h"
#include "comm/protocol/LinkFrame.h"
#include "comm/link/QVXCommPort.h"

namespace {

class SilentPort : public CQVXCommPort {
public:
    int Open() override { return 1; }
    int Close() override { return 1; }
    int Write(int, const BYTE*) override { return 1; }
    int Read(int, BYTE*) override { return 0; }
    int IdentifyDrive(int) override { return 0; }
    int Purge(int) override { return 1; }
};

class FuzzManager : public CCommManager {
public:
    explicit FuzzManager(BYTE options)
    {
        auto* port = new SilentPort;
        port->SetOpenState(1);
        AttachPort(port, TRUE);
        for (int address = 1; address <= 3; ++address)
            GetDriveNames().SetName(address, "D");
        QueueJobs(options);
        Step();  // frames the jobs and sets the mode bits
        GetTransmitRing().Clear();
    }

private:
    void QueueJobs(BYTE options)
    {
        DWORD id = 0;
        for (BYTE address = 0; address <= 3; ++address) {
            Submit(++id, address, 500, 0, 0, 0x14);
            Submit(++id, address, 500, 0, 0, 0x14);
            Submit(++id, address, 700, 9, 1, (options & 4) ? 0x10 : 0x04);
        }
        CAmpQryCmdFromDistMngr compound = Job(++id, 2, 900, 0, 0, 0x14);
        compound.AddCommand(901, -5);
        compound.AddCommand(902, 300);
        SubmitJob(compound);
        Submit(++id, 1, kCodeOSA, 0x10000, 4, kJobBlockTransfer | ((options & 1) ? kJobPollSlotData : 0));
        Submit(++id, 1, kCodeOSB, 0x1234, 2, 0x14);
    }
    static CAmpQryCmdFromDistMngr Job(DWORD id, BYTE address, WORD code, LONG value, BYTE width, WORD flags)
    {
        CAmpQryCmdFromDistMngr job;
        job.m_jobId = id;
        job.m_address = address;
        job.m_code = code;
        job.SetValue(value, width);
        job.m_jobFlags = flags;
        return job;
    }
    void Submit(DWORD id, BYTE address, WORD code, LONG value, BYTE width, WORD flags)
    {
        SubmitJob(Job(id, address, code, value, width, flags));
    }
};

std::vector<BYTE> RingBytes(CRingBuff& ring)
{
    RingBuffState state;
    ring.SaveState(state);
    std::vector<BYTE> bytes(static_cast<size_t>(ring.GetCount()));
    if (!bytes.empty())
        ring.Read(static_cast<int>(bytes.size()), bytes.data());
    ring.RestoreState(state);
    return bytes;
}

// What the parser left must be the start of a reply it cannot finish yet.
void CheckLeftover(CRingBuff& ring, bool timeStamps)
{
    const std::vector<BYTE> rest = RingBytes(ring);
    if (rest.empty())
        return;
    if (rest.size() > 2 * CLinkFrame::kMaxLength || rest[0] == 0)
        std::abort();
    CRingBuff copy(8);
    copy.Write(rest.data(), static_cast<int>(rest.size()));
    CAmpMsg frame;
    const int first = CLinkFrame::Read(copy, frame);
    if (first == CLinkFrame::kIncomplete)
        return;
    // With time stamps a whole reply waits for the frame after it.
    if (!timeStamps || first != CLinkFrame::kRead || frame.m_code == kCodeTSR)
        std::abort();
    int b;
    while ((b = copy.GetByte()) == 0) {
    }
    if (b < 0)
        return;
    copy.UngetByte(static_cast<BYTE>(b));
    if (CLinkFrame::Read(copy, frame) != CLinkFrame::kIncomplete)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const BYTE options = data[0];
    FuzzManager manager(options);
    CRingBuff& ring = manager.GetReceiveRing();
    const bool timeStamps = (manager.GetMode() & kModeTimeStamps) != 0;
    size_t at = 1;
    // 1 to 16 bytes at a time, or up to 2 KiB, so the ring also runs full.
    const size_t step = options >> 3;
    const size_t chunk = step < 16 ? 1 + step : 128 * (step - 15);
    while (at < size) {
        const size_t room = static_cast<size_t>(ring.GetSize() - 1 - ring.GetCount());
        const size_t take = std::min({chunk, size - at, room});
        ring.Write(data + at, static_cast<int>(take));
        at += take;
        CAmpResponseMsg reply;
        int replies = 0;
        while (manager.ParseFrame(reply)) {
            manager.DispatchResponse(reply);
            if (++replies > 4096)
                std::abort();  // more replies than bytes: the parser is not consuming
        }
        CheckLeftover(ring, timeStamps);
    }
    if (manager.GetJobQueue().GetCount() > 64 + static_cast<int>(size))
        std::abort();
    return 0;
}
