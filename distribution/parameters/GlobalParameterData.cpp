#include "distribution/parameters/GlobalParameterData.h"

#include "distribution/parameters/GlobalAmpParameterTable.h"
#include "comm/protocol/AmpCommand.h"
#include "platform/core/SingleLock.h"

namespace {

// One-shot reads that then follow the register's changes.
constexpr int kParameterQueryTime = -1;

struct RegisterRead {
    int key;
    const char* code;
    const char* argumentCode;
    int argument;
};

const RegisterRead kRegisterReads[] = {
    {kKeyEtf, "ETF", nullptr, 0}, {kKeyFr, "FR", nullptr, 0},   {kKeyGvs, "GVS", nullptr, 0},
    {kKeyAas, "AAS", nullptr, 0}, {kKeyTsc, "TSC", nullptr, 0}, {kKeyCs, "CS", nullptr, 0},
    {kKeyMc, "MC", nullptr, 0},   {kKeyPwm, "PWM", nullptr, 0}, {kKeyGvf, "GVF", nullptr, 0},
    {kKeyMod, "MOD", nullptr, 0}, {kKeyVer, "VER", nullptr, 0}, {kKeyWft, "WFT", nullptr, 0},
    {kKeyFpn, "FPN", nullptr, 0}, {kKeyPfm, "PFM", nullptr, 0}, {kKeyXcb1, "XCB", "XCI", 1},
};

}  // namespace

double SafeDivide(double numerator, double denominator)
{
    return denominator == 0.0 ? 0.0 : numerator / denominator;
}

void CGlobalParameterData::SetIdentity(int id, const CString& name)
{
    m_id = id;
    m_name = name;
}

void CGlobalParameterData::WakeTable()
{
    if (m_table)
        m_table->Wake();
}

void CGlobalParameterData::OnSyncResponse(int /*key*/)
{
    {
        CSingleLock lock(&m_dependencyLock, TRUE);
        m_dependencyChanged = 1;
    }
    WakeTable();
}

void CGlobalParameterData::OnGlobalParameterChanged()
{
    {
        CSingleLock lock(&m_dependencyLock, TRUE);
        m_dependencyChanged = 1;
    }
    WakeTable();
}

bool CGlobalParameterData::NeedsCycle() const
{
    {
        CSingleLock lock(&m_dependencyLock, TRUE);
        if (m_dependencyChanged)
            return true;
    }
    bool recompute;
    {
        CSingleLock lock(&m_requestLock, TRUE);
        if (m_requeryRequest)
            return true;
        recompute = m_recomputeRequest != 0;
    }
    return recompute && !IsValid();
}

bool CGlobalParameterData::GetValue(double& out)
{
    {
        CSingleLock lock(&m_valueLock, TRUE);
        if (m_valid) {
            out = m_value;
            return true;
        }
    }
    RequestQuery(true);
    return false;
}

bool CGlobalParameterData::IsValid() const
{
    CSingleLock lock(&m_valueLock, TRUE);
    return m_valid != 0;
}

void CGlobalParameterData::RequestQuery(bool on)
{
    {
        CSingleLock lock(&m_requestLock, TRUE);
        m_requeryRequest = on ? 1 : 0;
        m_recomputeRequest = on ? 1 : m_recomputeRequest;
    }
    if (on)
        WakeTable();
}

bool CGlobalParameterData::AddClient(CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_clientLock, TRUE);
    for (POSITION pos = m_clients.GetHeadPosition(); pos;)
        if (m_clients.GetNext(pos) == client)
            return false;
    m_clients.AddTail(client);
    return true;
}

bool CGlobalParameterData::RemoveClient(CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_clientLock, TRUE);
    const POSITION pos = m_clients.Find(client);
    if (!pos)
        return false;
    m_clients.RemoveAt(pos);
    return true;
}

void CGlobalParameterData::NotifyClients()
{
    CSingleLock lock(&m_clientLock, TRUE);
    for (POSITION pos = m_clients.GetHeadPosition(); pos;)
        m_clients.GetNext(pos)->OnGlobalParameterChanged();
}

bool CGlobalParameterData::TakeFlag(int& flag)
{
    const bool was = flag != 0;
    flag = 0;
    return was;
}

void CGlobalParameterData::RunCycleStep()
{
    bool dependencyChanged;
    {
        CSingleLock lock(&m_dependencyLock, TRUE);
        dependencyChanged = m_dependencyChanged != 0;
    }
    bool recompute;
    {
        CSingleLock lock(&m_requestLock, TRUE);
        recompute = m_recomputeRequest != 0;
    }
    if (dependencyChanged || (recompute && !IsValid())) {
        double value = 0.0;
        const bool computed = Compute(value);
        {
            CSingleLock lock(&m_valueLock, TRUE);
            m_valid = computed ? 1 : 0;
            if (computed)
                m_value = value;
        }
        if (computed) {
            NotifyClients();
            CSingleLock dependency(&m_dependencyLock, TRUE);
            m_dependencyChanged = 0;
            CSingleLock request(&m_requestLock, TRUE);
            m_recomputeRequest = 0;
        }
    }
    bool requery;
    {
        CSingleLock lock(&m_requestLock, TRUE);
        requery = m_requeryRequest != 0;
    }
    if (requery && SetUpQueries()) {
        CSingleLock lock(&m_requestLock, TRUE);
        m_requeryRequest = 0;
        m_recomputeRequest = 1;
    }
}

bool CGlobalParameterData::Need(int key)
{
    if (!m_table || HasSyncQuery(key))
        return m_table != nullptr;
    const BYTE address = static_cast<BYTE>(m_table->GetAddress());
    if (key >= kKeyMdl) {
        return AddSyncQueryWithArgument(key, address, static_cast<WORD>(MnemonicToCode("MDI")),
                                        static_cast<WORD>(key - kKeyMdl), static_cast<WORD>(MnemonicToCode("MDL")),
                                        kParameterQueryTime);
    }
    for (const auto& read : kRegisterReads) {
        if (read.key != key)
            continue;
        const WORD code = static_cast<WORD>(MnemonicToCode(read.code));
        if (read.argumentCode)
            return AddSyncQueryWithArgument(key, address, static_cast<WORD>(MnemonicToCode(read.argumentCode)),
                                            static_cast<WORD>(read.argument), code, kParameterQueryTime);
        return AddSyncQuery(key, address, code, kParameterQueryTime);
    }
    return false;
}

bool CGlobalParameterData::Read(int key, double& out) const
{
    LONG value = 0;
    if (!GetSyncAnswer(key, value, 1))
        return false;
    out = static_cast<double>(value);
    return true;
}

bool CGlobalParameterData::ReadBits(int key, LONG& out) const { return GetSyncAnswer(key, out, 1); }

bool CGlobalParameterData::ReadConditional(int key, double& out)
{
    if (!IsNeeded(key)) {
        RequestQuery(true);
        return false;
    }
    return Read(key, out);
}

bool CGlobalParameterData::DependOn(int id)
{
    return m_table && m_table->AddParameterClient(id, this);
}

bool CGlobalParameterData::ValueOf(int id, double& out)
{
    return m_table && m_table->GetParameterValue(id, out);
}
