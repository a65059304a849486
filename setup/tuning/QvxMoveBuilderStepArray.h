// CQvxMoveBuilderStepArray: the steps of one motion profile, their archive
// form, and the step-by-step exchange that reads a profile from the drive or
// writes one to it through the owning window.
#pragma once

#include "platform/core/Array.h"
#include "setup/tuning/QvxMoveBuilderStep.h"

class CArchive;
class CAmpResponseToGui;
class CDistMngrResponseReceiver;

constexpr int kProfileMaxSteps = 16;
constexpr WORD kStepSelectParameter = 16905;
constexpr WORD kStepDataParameter = 17025;
constexpr WORD kStepDataIndexParameter = 17033;

class CQvxMoveBuilderStepArray : public CArray<CQvxMoveBuilderStep, const CQvxMoveBuilderStep&> {
public:
    enum State { kIdle = 0, kSending = 1, kReceiving = 2 };
    // OnStepResponse results.
    enum Result { kFailed = -1, kUnexpected = -2, kNotOurs = 0, kContinue = 1, kFinished = 2 };

    explicit CQvxMoveBuilderStepArray(CDistMngrResponseReceiver* window = nullptr) : m_window(window) {}
    CQvxMoveBuilderStepArray(const CQvxMoveBuilderStepArray& other);
    CQvxMoveBuilderStepArray& operator=(const CQvxMoveBuilderStepArray& other);

    // The count, then seven 32-bit words a step. Reading replaces the steps
    // only once the whole form has been read; a damaged form throws
    // CArchiveException and changes nothing.
    void Serialize(CArchive& archive);

    int AddStep(const CQvxMoveBuilderStep& step);
    // A new default step at the index, the array grown to hold it.
    CQvxMoveBuilderStep& StepAt(int index);

    int RequestNextStep(int address);
    int SendNextStep(int address);
    int BeginReceive(int address);
    int BeginSend(int address);
    int OnStepResponse(const CAmpResponseToGui& response, int address);
    static int TakeStepValue(const CAmpResponseToGui& response, CQvxMoveBuilderStep& step);

    CDistMngrResponseReceiver* m_window;
    int m_current = -1;
    int m_state = kIdle;
    int m_previousState = kIdle;

private:
    void SetState(int state);
    void AdoptSteps();
};
