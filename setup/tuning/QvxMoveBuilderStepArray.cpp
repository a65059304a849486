#include "setup/tuning/QvxMoveBuilderStepArray.h"

#include "distribution/AmpResponseToGui.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/Archive.h"
#include "platform/core/DebugLog.h"
#include "platform/core/Exception.h"

namespace {

constexpr ULONGLONG kMaxArchivedSteps = 4096;  // far beyond any profile; bounds what a damaged count can ask for

// The step-data index a response's sub-command selected, or -1.
int DataIndexOf(const CAmpResponseToGui& response)
{
    for (const CAmpCommand& sub : response.m_subCommands) {
        if (sub.m_code == kStepDataIndexParameter)
            return static_cast<int>(sub.GetValue());
    }
    return -1;
}

}  // namespace

CQvxMoveBuilderStepArray::CQvxMoveBuilderStepArray(const CQvxMoveBuilderStepArray& other)
    : CArray(other), m_window(other.m_window), m_current(other.m_current), m_state(other.m_state),
      m_previousState(other.m_previousState)
{
    AdoptSteps();
}

CQvxMoveBuilderStepArray& CQvxMoveBuilderStepArray::operator=(const CQvxMoveBuilderStepArray& other)
{
    if (this != &other) {
        CArray::operator=(other);
        m_window = other.m_window;
        m_current = other.m_current;
        m_state = other.m_state;
        m_previousState = other.m_previousState;
        AdoptSteps();
    }
    return *this;
}

void CQvxMoveBuilderStepArray::AdoptSteps()
{
    for (CQvxMoveBuilderStep& step : *this)
        step.m_owner = this;
}

int CQvxMoveBuilderStepArray::AddStep(const CQvxMoveBuilderStep& step)
{
    const int index = Add(step);
    ElementAt(index).m_owner = this;
    return index;
}

CQvxMoveBuilderStep& CQvxMoveBuilderStepArray::StepAt(int index)
{
    while (GetSize() <= index)
        AddStep(CQvxMoveBuilderStep(this));
    return ElementAt(index);
}

void CQvxMoveBuilderStepArray::Serialize(CArchive& archive)
{
    if (archive.IsStoring()) {
        archive.WriteCount(static_cast<ULONGLONG>(GetSize()));
        for (const CQvxMoveBuilderStep& step : *this) {
            // The owner word has no meaning in a file; it is written as 0.
            archive << step.m_controlType << step.m_triggerType << step.m_action << step.m_controlValue
                    << step.m_triggerValue << 0 << step.m_received;
        }
        return;
    }
    const ULONGLONG count = archive.ReadCount();
    if (count > kMaxArchivedSteps)
        throw CArchiveException(CArchiveException::badIndex);
    CQvxMoveBuilderStepArray read(m_window);
    for (ULONGLONG i = 0; i < count; ++i) {
        CQvxMoveBuilderStep step;
        int owner = 0;
        archive >> step.m_controlType >> step.m_triggerType >> step.m_action >> step.m_controlValue >>
            step.m_triggerValue >> owner >> step.m_received;
        read.Add(step);
    }
    RemoveAll();
    Append(read);
    AdoptSteps();
}

void CQvxMoveBuilderStepArray::SetState(int state)
{
    m_previousState = m_state;
    m_state = state;
}

int CQvxMoveBuilderStepArray::RequestNextStep(int address)
{
    if (!m_window)
        return 0;
    ++m_current;
    AfxDebugLog("********** RequestNextStep. %d", m_current);
    if (m_window->SendCommand(static_cast<BYTE>(address), kStepSelectParameter, m_current) < 0)
        return 0;
    StepAt(m_current).m_received = 0;
    for (WORD index = 0; index < 3; ++index) {
        if (m_window->SendQueryWithArgument(static_cast<BYTE>(address), kStepDataParameter, kStepDataIndexParameter,
                                            index, 0, 0x20) < 0)
            return 0;
    }
    return 1;
}

int CQvxMoveBuilderStepArray::SendNextStep(int address)
{
    if (!m_window)
        return 0;
    ++m_current;
    // Past the last step nothing is selected or written.
    if (m_current >= GetSize())
        return 0;
    AfxDebugLog("********** SendNextStep. %d", m_current);
    const BYTE drive = static_cast<BYTE>(address);
    if (m_window->SendCommand(drive, kStepSelectParameter, m_current) < 0)
        return 0;
    const CQvxMoveBuilderStep& step = GetAt(m_current);
    const LONG values[] = {step.m_controlValue, step.m_triggerValue, static_cast<LONG>(step.PackedWord())};
    for (WORD index = 0; index < 3; ++index) {
        if (m_window->SendCommandWithArgument(drive, kStepDataParameter, values[index], kStepDataIndexParameter, index) < 0)
            return 0;
    }
    return 1;
}

int CQvxMoveBuilderStepArray::BeginReceive(int address)
{
    SetState(kReceiving);
    RemoveAll();
    m_current = -1;
    return RequestNextStep(address);
}

int CQvxMoveBuilderStepArray::BeginSend(int address)
{
    SetState(kSending);
    m_current = -1;
    return SendNextStep(address);
}

int CQvxMoveBuilderStepArray::TakeStepValue(const CAmpResponseToGui& response, CQvxMoveBuilderStep& step)
{
    const int index = DataIndexOf(response);
    if (response.m_code != kStepDataParameter || index < 0)
        return kNotOurs;
    if (step.m_received)
        return kUnexpected;
    switch (index) {
    case 0:
        step.m_controlValue = response.GetValue();
        return kContinue;
    case 1:
        step.m_triggerValue = response.GetValue();
        return kContinue;
    case 2:
        step.Unpack(static_cast<DWORD>(response.GetValue()));
        step.m_received = 1;
        return kFinished;
    default:
        return kFailed;
    }
}

int CQvxMoveBuilderStepArray::OnStepResponse(const CAmpResponseToGui& response, int address)
{
    if (response.m_error) {
        SetState(kIdle);
        return kFailed;
    }
    if (response.m_code == kStepSelectParameter) {
        m_current = response.GetValue();
        return kContinue;
    }
    if (response.m_code != kStepDataParameter)
        return kNotOurs;
    if (m_state == kIdle)
        return kUnexpected;
    if (m_state == kReceiving) {
        if (m_current < 0 || m_current >= GetSize())
            return kUnexpected;
        const int result = TakeStepValue(response, ElementAt(m_current));
        if (result != kFinished)
            return result;
        if (GetAt(m_current).m_action == kActionNextStep && m_current < kProfileMaxSteps - 1) {
            if (RequestNextStep(address))
                return kContinue;
            SetState(kIdle);
            return kFailed;
        }
        SetState(kIdle);
        return kFinished;
    }
    if (DataIndexOf(response) != 2)
        return kContinue;
    const bool chains = response.m_width > 1 && ((response.m_value >> 8) & 0xF) == kActionNextStep;
    if (!chains) {
        SetState(kIdle);
        return kFinished;
    }
    if (SendNextStep(address))
        return kContinue;
    SetState(kIdle);
    return kFailed;
}
