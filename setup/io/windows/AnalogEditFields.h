// CAnalogEditFields: what the analog windows' register-bound edits share:
// their colour set, and the spin buttons beside the working edits. A step
// moves the edit's value by the edit's step and leaves it as an entry not yet
// sent, as if typed.
#pragma once

#include <vector>

#include "framework/QvxGuiEditCtrl.h"
#include "setup/io/AnalogIoRules.h"

class CAnalogEditFields {
public:
    // White, lavender while changed, grey while offline or unavailable; blue text.
    static void SetColourSet(CQvxGuiEditCtrl& edit);

    void Add(int spinId, CQvxGuiEditCtrl* edit, const char* format, const SpinStepSetting& setting);
    void SetStep(CQvxGuiEditCtrl* edit, const SpinStepSetting& setting);
    void SetFormat(CQvxGuiEditCtrl* edit, const char* format);
    // The step the edit moves by now; 0 for an edit without a spin.
    double StepOf(CQvxGuiEditCtrl* edit);
    // A spin notification: true when the spin is one of these (the step taken or not).
    bool OnDeltaPos(int spinId, int delta);

private:
    struct Entry {
        int spinId;
        CQvxGuiEditCtrl* edit;
        const char* format;
        SpinStepSetting setting;
    };
    Entry* Find(CQvxGuiEditCtrl* edit);
    std::vector<Entry> m_entries;
};
