// One axis of a move block: an accelerating blend, a constant-velocity stretch
// and a decelerating blend (or a single cubic), as a function of block time.
#pragma once

#include "BlendCubic.h"
#include "platform/core/String.h"

class CTrajectoryAxisMoveData {
public:
    enum Kind { kindBlended = 0, kindTrapezoid = 1, kindCubic = 2, kindCircle = 4 };

    int Kind = kindTrapezoid;
    double PT = 0.0;
    double PI = 0.0;
    double P0 = 0.0;
    double PC = 0.0;
    double Vmax = 0.0;
    double VI = 0.0;
    double A = 0.0;
    double PA = 0.0;
    double TSeg = 0.0;
    double TC = 0.0;
    double TA1 = 0.0;
    double TA2 = 0.0;
    double LMT = 0.0;
    CBlendCubic Accel;
    CBlendCubic Decel;

    void SetupAxisProfile(int kind);
    double Position(double t) const;
    double Velocity(double t) const;
    CString ToString() const;

private:
    void SetupTrapezoid();
};
