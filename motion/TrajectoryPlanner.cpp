#include "TrajectoryPlanner.h"

#include <algorithm>

#include "MultiAxisMoveBlockCircular.h"
#include "MultiAxisMoveBlockLinearBlended.h"
#include "MultiAxisMoveBlockPVT.h"
#include "MultiAxisMoveBlockRapid.h"
#include "MultiAxisMoveBlockSplineBlended.h"

namespace {

// Matching a blend's two halves settles within a few rounds.
constexpr int kMaxMatchRounds = 20;
constexpr int kMaxSamplesPerCall = 100;
// Block times are sums of steps and durations: a sample that lands on a
// block's end within rounding belongs to that block.
constexpr double kTimeTolerance = 1e-9;

CMultiAxisMoveBlockSplineBlended* AsSpline(CMultiAxisMoveBlock* block)
{
    return block && !block->IsDwell && block->GetType() == CMultiAxisMoveBlock::typeSpline
               ? static_cast<CMultiAxisMoveBlockSplineBlended*>(block)
               : nullptr;
}

CAxisVectorMap Zeros(const CAxisVectorMap& axes)
{
    CAxisVectorMap zeros = axes;
    zeros.SetAllZero();
    return zeros;
}

}  // namespace

int CTrajectoryPlanner::Fail(const char* why)
{
    m_lastError = why;
    return -1;
}

BOOL CTrajectoryPlanner::FillCurrentValues(CAxisVectorMap& vector)
{
    if (!Callback)
        return FALSE;
    int axis;
    double ignored;
    for (POSITION pos = vector.GetStartPosition(); pos;) {
        vector.GetNextAssoc(pos, axis, ignored);
        double value = 0.0;
        if (!Callback->GetAxisValue(axis, &value))
            return FALSE;
        vector[axis] = value;
    }
    return TRUE;
}

const CTrajectoryAxisSettings* CTrajectoryPlanner::GetAxisSettings(int axis) const
{
    if (!AxisSettings)
        return nullptr;
    if (const CTrajectoryAxisSettings* row = AxisSettings->PLookup(axis))
        return row;
    return AxisSettings->PLookup(0);
}

bool CTrajectoryPlanner::FillEmptyDwellTargets(CMultiAxisMoveBlock* dwell, const CAxisVectorMap& targets)
{
    if (!dwell->Target.IsEmpty())
        return true;
    CAxisVectorMap current = targets;
    if (!FillCurrentValues(current))
        return false;
    for (POSITION pos = Blocks.GetHeadPosition(); pos;)
        Blocks.GetNext(pos)->Target = current;
    return true;
}

// Where a block that follows last begins: its axes are those of the targets
// and of last; an axis new to the run starts at its current value.
bool CTrajectoryPlanner::StartPositions(CMultiAxisMoveBlock* last, const CAxisVectorMap& targets,
                                        CAxisVectorMap& out)
{
    out = last ? last->Target : CAxisVectorMap();
    CAxisVectorMap missing;
    int axis;
    double value;
    for (POSITION pos = targets.GetStartPosition(); pos;) {
        targets.GetNextAssoc(pos, axis, value);
        if (!out.Has(axis))
            missing[axis] = 0.0;
    }
    if (missing.IsEmpty())
        return true;
    if (!FillCurrentValues(missing))
        return false;
    for (POSITION pos = missing.GetStartPosition(); pos;) {
        missing.GetNextAssoc(pos, axis, value);
        out[axis] = value;
    }
    return true;
}

// Axes that the move does not name hold their programmed position.
void CTrajectoryPlanner::CompleteAxes(BlockStart& start)
{
    int axis;
    double value;
    for (POSITION pos = start.pi.GetStartPosition(); pos;) {
        start.pi.GetNextAssoc(pos, axis, value);
        if (!start.targets.Has(axis))
            start.targets[axis] = value;
        if (!start.p0.Has(axis))
            start.p0[axis] = value;
        if (!start.vi.Has(axis))
            start.vi[axis] = 0.0;
    }
}

bool CTrajectoryPlanner::StartAfter(CMultiAxisMoveBlock* last, const CAxisVectorMap& targets, bool replan,
                                    double ta2, BlockStart& start)
{
    start.targets = targets;
    if (last && last->IsDwell && !FillEmptyDwellTargets(last, targets))
        return false;
    if (!last || last->IsDwell) {
        if (!StartPositions(last, targets, start.pi))
            return false;
        start.p0 = start.pi;
        start.vi = Zeros(start.pi);
        CompleteAxes(start);
        return true;
    }
    if (replan)
        last->Plan(ta2);
    start.p0 = last->Target;
    start.vi = last->Target;
    if (!last->GetEndPosition(start.p0) || !last->GetEndVelocity(start.vi))
        return false;
    if (!StartPositions(last, targets, start.pi))
        return false;
    CompleteAxes(start);
    return true;
}

int CTrajectoryPlanner::Register(CMultiAxisMoveBlock* block)
{
    block->Planned = 1;
    block->BlockId = NextBlockId++;
    return block->BlockId;
}

int CTrajectoryPlanner::AddRapid(const CAxisVectorMap& targets)
{
    CMultiAxisMoveBlock* last = Blocks.Last();
    BlockStart start;
    if (!StartAfter(last, targets, false, AccelTime, start))
        return Fail("the start of the rapid move is not known");
    auto* block = new CMultiAxisMoveBlockRapid;
    Blocks.AddTail(block);
    block->Planner = this;
    if (!block->Setup(0, start.p0, start.pi, start.vi, start.targets, 0.0, 0.0, -1))
        return Fail("the rapid move could not be planned");
    return Register(block);
}

int CTrajectoryPlanner::AddLinear(const CAxisVectorMap& targets, double feed)
{
    if (feed == -1)
        feed = FeedRate;
    CMultiAxisMoveBlock* last = Blocks.Last();
    auto* block = new CMultiAxisMoveBlockLinearBlended;
    Blocks.AddTail(block);
    block->Planner = this;
    // The new block's acceleration replaces the previous block's deceleration,
    // so both must last as long: when the acceleration limit lengthens the
    // blend, the previous block is planned again to decelerate that long.
    const bool blendsIn = last && !last->IsDwell && last->IsLinearBlended();
    double blendTime = AccelTime;
    for (int round = 0; round < kMaxMatchRounds; ++round) {
        BlockStart start;
        if (!StartAfter(last, targets, true, blendTime, start))
            return Fail("the start of the linear move is not known");
        if (!block->Setup(0, start.p0, start.pi, start.vi, start.targets, feed, blendTime, AccelTime))
            return Fail("the linear move cannot meet the acceleration limit");
        if (!blendsIn || block->TA1 <= blendTime)
            break;
        blendTime = block->TA1;
    }
    return Register(block);
}

int CTrajectoryPlanner::AddSpline(const CAxisVectorMap& targets)
{
    if (!(AccelTime > 0.0))
        return Fail("a spline move needs a segment time above 0");
    CMultiAxisMoveBlock* last = Blocks.Last();
    if (last && last->IsDwell && !FillEmptyDwellTargets(last, targets))
        return Fail("the start of the spline move is not known");
    BlockStart start;
    start.targets = targets;
    if (!StartPositions(last, targets, start.pi))
        return Fail("the start of the spline move is not known");
    CompleteAxes(start);

    auto* block = new CMultiAxisMoveBlockSplineBlended;
    Blocks.AddTail(block);
    block->Planner = this;
    block->TA1 = AccelTime;
    block->Target = start.targets;
    block->KnotPos = start.targets;
    block->KnotVel = Zeros(start.targets);
    block->ProgStart = start.pi;
    block->StartPos = start.pi;
    if (CMultiAxisMoveBlockSplineBlended* previous = AsSpline(last)) {
        if (!previous->PlanSpline(AsSpline(Blocks.Before(previous)), block))
            return Fail("the spline move could not be planned");
        block->StartPos = previous->KnotPos;
        if (!block->PlanSpline(previous, nullptr))
            return Fail("the spline move could not be planned");
    }
    return Register(block);
}

int CTrajectoryPlanner::AddPVT(const CAxisVectorMap& targets, const CAxisVectorMap& velocities)
{
    CMultiAxisMoveBlock* last = Blocks.Last();
    if (last && last->IsDwell && !FillEmptyDwellTargets(last, targets))
        return Fail("the start of the PVT move is not known");
    BlockStart start;
    start.targets = targets;
    if (!StartPositions(last, targets, start.pi))
        return Fail("the start of the PVT move is not known");
    start.vi = Zeros(start.pi);
    if (last && !last->IsDwell) {
        int axis;
        double value;
        for (POSITION pos = last->EndVel.GetStartPosition(); pos;) {
            last->EndVel.GetNextAssoc(pos, axis, value);
            if (start.vi.Has(axis))
                start.vi[axis] = value;
        }
    }
    CompleteAxes(start);

    auto* block = new CMultiAxisMoveBlockPVT;
    Blocks.AddTail(block);
    block->Planner = this;
    block->TA1 = AccelTime;
    block->ProgStart = start.pi;
    block->Target = start.targets;
    block->EndVel = velocities;
    if (!block->SetupCubic(0, start.pi, start.vi, block->Target, block->EndVel, AccelTime))
        return Fail("the PVT move could not be planned");
    return Register(block);
}

int CTrajectoryPlanner::AddCircular(const CAxisVectorMap& targets, const CMotionWordMap& words, BOOL clockwise,
                                    double feed)
{
    if (feed == -1)
        feed = FeedRate;
    CMultiAxisMoveBlock* last = Blocks.Last();
    BlockStart start;
    if (!StartAfter(last, targets, true, AccelTime, start))
        return Fail("the start of the circle is not known");
    auto* block = new CMultiAxisMoveBlockCircular;
    Blocks.AddTail(block);
    block->Planner = this;
    block->Clockwise = clockwise ? 1 : 0;
    if (!block->ParseWords(words) ||
        !block->Setup(0, start.p0, start.pi, start.vi, start.targets, feed, AccelTime, -1)) {
        m_lastError = block->GetLastError();
        return -1;
    }
    return Register(block);
}

int CTrajectoryPlanner::AddDwell(double time)
{
    CMultiAxisMoveBlock* last = Blocks.Last();
    if (last && !last->IsDwell && last->IsLinearBlended()) {
        CAxisVectorMap stopAt = last->Target;
        if (!last->GetEndPosition(stopAt) || AddLinear(stopAt, 0.0) < 0)
            return Fail("the move before the dwell cannot be stopped");
    }
    auto* dwell = new CMultiAxisMoveBlockLinearBlended;
    Blocks.AddTail(dwell);
    dwell->Planner = this;
    if (!dwell->SetDwell(time, last ? &last->Target : nullptr))
        return Fail("the positions to dwell at are not known");
    return Register(dwell);
}

bool CTrajectoryPlanner::MoveToNextSampleBlock()
{
    const double end = SampleBlock->StartTime + SampleBlock->GetDuration(FALSE);
    Blocks.RemoveHead();
    delete SampleBlock;
    SampleBlock = Blocks.IsEmpty() ? nullptr : Blocks.GetHead();
    if (SampleBlock)
        SampleBlock->StartTime = end;
    return SampleBlock != nullptr;
}

BOOL CTrajectoryPlanner::Sample(CAxisVectorList& positions, CAxisVectorList* velocities, double step)
{
    if (!SampleBlock) {
        if (Blocks.IsEmpty())
            return FALSE;
        SampleBlock = Blocks.GetHead();
        SampleBlock->StartTime = 0.0;
        SampleTime = 0.0;
    }
    BOOL appended = FALSE;
    for (int i = 0; i < kMaxSamplesPerCall; ++i) {
        double local = SampleTime - SampleBlock->StartTime;
        // A duration that is not a number counts as passed, so sampling always moves on.
        double duration = SampleBlock->GetDuration(FALSE);
        while (!(local <= duration + kTimeTolerance)) {
            if (!MoveToNextSampleBlock())
                return appended;
            local = SampleTime - SampleBlock->StartTime;
            duration = SampleBlock->GetDuration(FALSE);
        }
        local = std::max(local, 0.0);
        local = std::min(local, duration);
        CAxisVectorMap position;
        SampleBlock->GetPosition(local, position);
        position.Time = SampleBlock->StartTime + local;
        CAxisVectorMap velocity;
        if (velocities) {
            SampleBlock->GetVelocity(local, velocity);
            velocity.Time = position.Time;
        }
        SampleTime += step;
        if (!position.IsEmpty()) {
            positions.AddTail(position);
            appended = TRUE;
        }
        if (velocities && !velocity.IsEmpty())
            velocities->AddTail(velocity);
    }
    // A stretch without samples (a move not yet planned) does not end the path.
    return TRUE;
}
