// One programmed move: per-axis profiles in time, sampled from the block's start.
#pragma once

#include "AxisVectorMap.h"
#include "MotionWordScanner.h"
#include "TrajectoryAxisMoveData.h"

class CTrajectoryPlanner;

using CAxisNameMap = CMap<int, int, CString, const CString&>;
using CAxisMoveDataMap = CMap<int, int, CTrajectoryAxisMoveData, const CTrajectoryAxisMoveData&>;

class CMultiAxisMoveBlock {
public:
    enum Type { typeBase = -1, typeLinear = 0, typeRapid = 1, typeSpline = 2, typePVT = 3, typeCircular = 4 };

    double FR = 0.0;
    int Flags = 0;
    int IsDwell = 0;
    double DwellTime = 0.0;
    int Planned = 0;
    CAxisVectorMap StartPos;
    CAxisVectorMap ProgStart;
    CAxisVectorMap Target;
    CAxisVectorMap StartVel;
    CAxisVectorMap EndVel;
    double TA1 = 0.0;
    double TA2 = 0.0;
    int BlockId = -1;
    double StartTime = 0.0;
    CTrajectoryPlanner* Planner = nullptr;
    CAxisMoveDataMap AxisData;

    CMultiAxisMoveBlock() = default;
    CMultiAxisMoveBlock(const CMultiAxisMoveBlock&) = delete;
    CMultiAxisMoveBlock& operator=(const CMultiAxisMoveBlock&) = delete;
    virtual ~CMultiAxisMoveBlock() = default;

    virtual int GetType() const { return typeBase; }
    // Takes the start, programmed start, start velocity and target, then plans.
    virtual BOOL Setup(int flags, const CAxisVectorMap& p0, const CAxisVectorMap& pi, const CAxisVectorMap& vi,
                       const CAxisVectorMap& pt, double fr, double ta1, double ta2);
    // One cubic per axis of p0, from (p0, v0) to (p1, v1) in t.
    virtual BOOL SetupCubic(int flags, const CAxisVectorMap& p0, const CAxisVectorMap& v0,
                            const CAxisVectorMap& p1, const CAxisVectorMap& v1, double t);
    // Holds positions (or, without them, the axes' current values) for time seconds.
    virtual BOOL SetDwell(double time, const CAxisVectorMap* positions);
    // Values where the next block starts, for every axis of out.
    virtual BOOL GetEndPosition(CAxisVectorMap& out);
    virtual BOOL GetEndVelocity(CAxisVectorMap& out);
    virtual double GetDuration(BOOL withFinalDecel);
    virtual BOOL Plan(double ta2);
    virtual BOOL GetPosition(double t, CAxisVectorMap& out);
    virtual BOOL GetVelocity(double t, CAxisVectorMap& out);
    virtual BOOL ParseWords(const CMotionWordMap& words);
    virtual CString ToString(const CAxisNameMap& axisNames);

    bool IsLinearBlended() const { return GetType() == typeLinear; }
    // "[X1.00,Y2.00]"; an axis without a name shows as "A<index>".
    static CString VectorText(const CAxisVectorMap& vector, const CAxisNameMap& axisNames);
    static CString AxisName(int axis, const CAxisNameMap& axisNames);

protected:
    // Every axis record at t, as position or velocity.
    BOOL ProfileValues(double t, CAxisVectorMap& out, bool velocity) const;

private:
    BOOL EndValues(CAxisVectorMap& out, bool velocity);
};
