// CAnalogEditFields: what the analog windows' register-bound edits share:
// their colour set, the spin buttons beside the working edits, greying rows
// and showing the drive's output source in its list. A step
// moves the edit's value by the edit's step and leaves it as an entry not yet
// sent, as if typed.
#pragma once

#include <initializer_list>
#include <vector>

#include "distribution/DmQueryVar.h"

#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "setup/io/AnalogIoRules.h"

class CGuiUpdateDlg;

// A row of two edits on one register: the working edit writes it, the drive edit shows it.
struct AnalogEditRow {
    int workId;
    int driveId;
    WORD reg;
    int conversion;  // the parameter the shown value is scaled by
    const char* format;
    const char* name;
};

class CAnalogEditFields {
public:
    // White, lavender while changed, grey while offline or unavailable; blue text.
    static void SetColourSet(CQvxGuiEditCtrl& edit);
    // Binds both edits of a row, the flags each already has kept.
    static void BindRow(CGuiUpdateDlg& owner, CQvxGuiEditCtrl& work, CQvxGuiEditCtrl& drive, const AnalogEditRow& row);
    // Only the controls whose state changes are redrawn; an edit greyed or back shows its value again.
    static void EnableIds(CWnd& owner, std::initializer_list<int> ids, bool enable);
    // The entry the drive's reading names; none for a reading not (yet) in the list.
    static void ShowSource(CComboBox& combo, const CDmQueryVar& reading);

    void Add(int spinId, CQvxGuiEditCtrl* edit, const char* format, const SpinStepSetting& setting);
    void SetStep(CQvxGuiEditCtrl* edit, const SpinStepSetting& setting);
    void SetFormat(CQvxGuiEditCtrl* edit, const char* format);
    // The step the edit moves by now; 0 for an edit without a spin.
    double StepOf(CQvxGuiEditCtrl* edit);
    // A spin notification: true when the spin is one of these (the step taken or not).
    bool OnDeltaPos(int spinId, int delta);
    // A window's notification: true when it was a click on one of these spins,
    // with *result set so the spin keeps no position of its own.
    bool OnNotify(LPARAM lParam, LRESULT* result);

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
