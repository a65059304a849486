// CGearingEditRows: the eight gearing edits the Position page and the
// electronic gearing window share (gear out, gear in, link ratio, gear in
// factor; working and drive each): the calculated rows' values and the
// factor, which goes out as a whole unsigned word.
#pragma once

#include "distribution/DmQueryVar.h"
#include "framework/QvxGuiEditCtrl.h"

class CGearingEditRows {
public:
    static constexpr int kRows = 8;

    // After the rows were bound: scale, custom values and the factor's send hook.
    static void BindCalculated(CQvxGuiEditCtrl (&edits)[kRows], WORD factorCode);
    // A calculated row's value, as CustomPoll answers: 1 shown, 0 nothing yet, -2 not ours.
    static int CustomPoll(CQvxGuiEditCtrl (&edits)[kRows], const CDmQueryVar& factor, int id, double& value);
    // Turns the working gear out's sign; returns the value now entered.
    static int ReverseGearOut(CQvxGuiEditCtrl (&edits)[kRows]);

private:
    static bool HasText(CQvxGuiEditCtrl& edit);
};
