// The spin buttons beside the working edits of the drive mode pages: a click
// moves the edit's entry by the row's step, in the units the edit shows.
#pragma once

#include <vector>

#include "framework/QvxGuiEditCtrl.h"

class CModeSpinSteps {
public:
    void Add(CWnd& owner, int spinId, CQvxGuiEditCtrl& edit, int low, int high, double step, const char* format);
    void SetStep(int spinId, double step);
    double GetStep(int spinId) const;
    void SetFormat(int spinId, const char* format);
    // True when spinId is one of ours (the entry moved by delta steps).
    bool OnDeltaPos(int spinId, int delta);
    // A page's notification: true when it was a click on one of our spins, which
    // then moved its entry and set *result so the spin keeps no position.
    bool OnNotify(LPARAM lParam, LRESULT* result);

private:
    struct Entry {
        int spinId;
        CQvxGuiEditCtrl* edit;
        double step;
        const char* format;
    };
    Entry* Find(int spinId);

    std::vector<Entry> m_entries;
};
