// An arc in the program's plane, by centre (I, J, K) or by radius (R); other
// axes of the move run alongside (a helix).
#pragma once

#include "MultiAxisMoveBlock.h"

class CMultiAxisMoveBlockCircular : public CMultiAxisMoveBlock {
public:
    double Radius = 0.0;
    double CentreU = 0.0;
    double CentreV = 0.0;
    int Clockwise = 0;
    int LargeArc = 0;
    int RadiusGiven = 0;
    int AxisU = -1;
    int AxisV = -1;
    int AxisW = -1;
    double StartAngle = 0.0;
    double EndAngle = 0.0;
    double AngularVelocity = 0.0;
    double AngularAccel = 0.0;
    double AngleAfterAccel = 0.0;

    int GetType() const override { return typeCircular; }
    double GetDuration(BOOL withFinalDecel) override;
    BOOL Plan(double ta2) override;
    BOOL GetPosition(double t, CAxisVectorMap& out) override;
    BOOL GetVelocity(double t, CAxisVectorMap& out) override;
    BOOL ParseWords(const CMotionWordMap& words) override;

    // The angle swept from start to end in the block's direction.
    double ArcAngle() const;
    const CString& GetLastError() const { return m_error; }

private:
    BOOL Fail(const char* why);
    BOOL PlaceCentreFromRadius(double su, double sv, double eu, double ev);
    void SetupBlendIn();
    void SetupOtherAxes();
    double AngleAt(double t) const;
    double AngularRateAt(double t) const;
    bool OnCircleAt(double t) const;

    CString m_error;
};
