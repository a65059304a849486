// A stand-in for the communication manager: records what the distribution
// manager submits and cancels, and answers from a small register model when
// told to, so scheduling can be tested without a link or real time.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include "distribution/DistCommLink.h"

class FakeCommLink : public CDistCommLink {
public:
    void SubmitJob(const CAmpQryCmdFromDistMngr& job) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_submitted.push_back(job);
        if (m_autoAnswer)
            m_responses.push_back(AnswerFor(job));
    }
    int CancelJob(DWORD jobId) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled.push_back(jobId);
        return 1;
    }
    bool PopResponse(CAmpResponseToDistMngr& out) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_responses.empty())
            return false;
        out = m_responses.front();
        m_responses.pop_front();
        return true;
    }
    void AddQueryOvertimeSample(int address, DWORD lateMs) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_overtime.emplace_back(address, lateMs);
    }
    int EnterSynchronousMode() override { m_synchronous = true; return 1; }
    void LeaveSynchronousMode() override { m_synchronous = false; }
    int SendReceiveSynchronous(const CAmpMsg& message, CAmpResponseMsg& response, int /*timeoutMs*/) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_synchronousSent.push_back(message);
        static_cast<CAmpMsg&>(response) = message;
        if (message.m_width == 0)
        {
            response.SetValueAuto(RegisterValue(message.m_address, message.m_code, -1));
            AsReceived(response);
        }
        return m_synchronousAnswers ? 1 : 0;
    }

    // Answers as a drive would: a read gets the register's value, a write is echoed.
    CAmpResponseToDistMngr AnswerFor(const CAmpQryCmdFromDistMngr& job, WORD error = 0)
    {
        CAmpResponseToDistMngr answer;
        static_cast<CCompoundAmpMsg&>(answer) = job;
        answer.m_jobId = job.m_jobId;
        answer.m_error = error;
        if (job.m_width == 0 && error == 0) {
            const LONG argument = job.m_subCommands.IsEmpty() ? -1 : job.m_subCommands.GetHead().m_value;
            answer.SetValueAuto(RegisterValue(job.m_address, job.m_code, argument));
            AsReceived(answer);
        }
        return answer;
    }
    // A link hands on the bytes it received, zero-extended.
    static void AsReceived(CAmpCommand& command)
    {
        if (command.m_width == 1)
            command.m_value &= 0xFF;
        else if (command.m_width == 2)
            command.m_value &= 0xFFFF;
    }
    void SetRegister(int address, const char* mnemonic, LONG value, LONG argument = -1)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_registers[{address, MnemonicToCode(mnemonic), argument}] = value;
    }
    LONG RegisterValue(int address, int code, LONG argument)
    {
        auto it = m_registers.find({address, code, argument});
        return it == m_registers.end() ? 0 : it->second;
    }
    void Queue(const CAmpResponseToDistMngr& answer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_responses.push_back(answer);
    }
    // Answers every job submitted since the last call.
    void AnswerAllSubmitted(WORD error = 0)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (size_t i = m_answeredUpTo; i < m_submitted.size(); ++i)
            m_responses.push_back(AnswerFor(m_submitted[i], error));
        m_answeredUpTo = m_submitted.size();
    }
    std::vector<CAmpQryCmdFromDistMngr> Submitted()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_submitted;
    }
    std::vector<DWORD> Cancelled()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cancelled;
    }
    size_t SubmittedCount()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_submitted.size();
    }

    std::mutex m_mutex;
    bool m_autoAnswer = false;
    bool m_synchronous = false;
    bool m_synchronousAnswers = true;
    std::vector<CAmpQryCmdFromDistMngr> m_submitted;
    size_t m_answeredUpTo = 0;
    std::vector<DWORD> m_cancelled;
    std::deque<CAmpResponseToDistMngr> m_responses;
    std::vector<std::pair<int, DWORD>> m_overtime;
    std::vector<CAmpMsg> m_synchronousSent;
    std::map<std::tuple<int, int, LONG>, LONG> m_registers;
};
