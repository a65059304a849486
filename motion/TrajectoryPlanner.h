// Turns programmed moves into a linked run of move blocks and samples the
// planned path at a fixed step.
#pragma once

#include "MultiAxisMoveBlockList.h"
#include "TrajectoryAxisSettings.h"
#include "TrajectoryPlannerCB.h"

using CAxisSettingsMap = CMap<int, int, CTrajectoryAxisSettings, const CTrajectoryAxisSettings&>;
using CAxisIndexMap = CMap<CString, const CString&, int, int>;
using CAxisVectorList = CList<CAxisVectorMap>;

class CTrajectoryPlanner {
public:
    CTrajectoryPlannerCB* Callback = nullptr;
    CAxisSettingsMap* AxisSettings = nullptr;
    // The program's axis names, where a circle finds the axes of its plane.
    const CAxisIndexMap* AxisNames = nullptr;
    CMultiAxisMoveBlockList Blocks;
    double FeedRate = 1.0;
    double MoveTime = 1.0;
    double AccelTime = 0.01;
    double Reserved = 1.0;
    int Plane = 0;
    int NextBlockId = 0;
    double SampleTime = 0.0;
    int TimeMode = 0;
    CMultiAxisMoveBlock* SampleBlock = nullptr;

    CTrajectoryPlanner() = default;
    CTrajectoryPlanner(const CTrajectoryPlanner&) = delete;
    CTrajectoryPlanner& operator=(const CTrajectoryPlanner&) = delete;
    virtual ~CTrajectoryPlanner() = default;

    // Each builder returns the new block's id, or -1 (see GetLastError).
    int AddRapid(const CAxisVectorMap& targets);
    int AddLinear(const CAxisVectorMap& targets, double feed);
    int AddSpline(const CAxisVectorMap& targets);
    int AddPVT(const CAxisVectorMap& targets, const CAxisVectorMap& velocities);
    int AddCircular(const CAxisVectorMap& targets, const CMotionWordMap& words, BOOL clockwise, double feed);
    int AddDwell(double time);

    // Appends up to 100 samples; 0 once the path is finished.
    BOOL Sample(CAxisVectorList& positions, CAxisVectorList* velocities, double step);
    BOOL FillCurrentValues(CAxisVectorMap& vector);
    // The limits of an axis (the row of axis 0 for an axis without one); null without a table.
    const CTrajectoryAxisSettings* GetAxisSettings(int axis) const;
    const CString& GetLastError() const { return m_lastError; }

private:
    struct BlockStart {
        CAxisVectorMap p0;
        CAxisVectorMap pi;
        CAxisVectorMap vi;
        CAxisVectorMap targets;
    };
    bool StartAfter(CMultiAxisMoveBlock* last, const CAxisVectorMap& targets, bool replan, double ta2,
                    BlockStart& start);
    bool FillEmptyDwellTargets(CMultiAxisMoveBlock* dwell, const CAxisVectorMap& targets);
    bool StartPositions(CMultiAxisMoveBlock* last, const CAxisVectorMap& targets, CAxisVectorMap& out);
    void CompleteAxes(BlockStart& start);
    int Register(CMultiAxisMoveBlock* block);
    int Fail(const char* why);
    bool MoveToNextSampleBlock();

    CString m_lastError;
};
