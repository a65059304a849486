// The timed loop the link benches share: keeps a number of register reads
// queued on an open communication manager, takes one answer an iteration and
// queues the next read in its place, then closes the link.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "comm/link/CommManager.h"

struct RegisterReadCounts {
    double perSecond = 0;
    int failed = 0;
};

// codeOf gives the register a read of a job id asks for; the drive is
// 1 + id % drives. pollPause is the wait between looks for an answer.
template <typename CodeOf>
RegisterReadCounts TimeRegisterReads(benchmark::State& state, CCommManager& manager, int drives, int queued,
                                     CodeOf codeOf, std::chrono::microseconds pollPause)
{
    DWORD nextId = 1;
    auto submit = [&] {
        CAmpQryCmdFromDistMngr job;
        job.m_address = static_cast<BYTE>(1 + nextId % drives);
        job.m_code = static_cast<WORD>(codeOf(nextId));
        job.SetRead();
        job.m_jobId = nextId++;
        manager.SubmitJob(job);
    };
    for (int i = 0; i < queued; ++i)
        submit();

    RegisterReadCounts counts;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        CAmpResponseToDistMngr response;
        while (!manager.GetResponseList().PopResponse(response))
            std::this_thread::sleep_for(pollPause);
        counts.failed += response.m_error != 0 ? 1 : 0;
        submit();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    manager.CloseCommunications();
    counts.perSecond = state.iterations() / seconds;
    return counts;
}
