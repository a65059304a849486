// CPlotTrace: one trace, a fixed ring of points. The sampling thread adds
// points while the drawing thread walks them; both hold the trace's lock.
#pragma once

#include <vector>

#include "platform/core/Mutex.h"
#include "platform/core/Object.h"
#include "platform/ui/Point.h"
#include "platform/ui/Rect.h"
#include "trazel/PlotPen.h"

class CDPlotArea;

struct TracePoint {
    double x;
    double y;
    DWORD flags;  // low byte: the gap mark
    DWORD unused;
};
static_assert(sizeof(TracePoint) == 24);

// What a block of ring slots holds, so a dense trace's walk can take a block
// that lies in one pixel column at once. Stale after any write to its slots.
struct TraceBlock {
    static constexpr int kSlots = 16;
    double xMin, xMax, yMin, yMax;
    bool plain;   // no point without a value and no gap mark
    bool fresh;   // matches the slots
};

// The x span of a trace whose drawing changed: the points added or dropped with
// their neighbours, or the whole trace.
struct TraceChange {
    bool any = false;
    bool all = false;
    double xLo = 0.0;
    double xHi = 0.0;
};

class CPlotTrace : public CObject {
    DECLARE_SERIAL(CPlotTrace)

public:
    static constexpr int kDefaultCapacity = 300;
    static constexpr int kMaxCapacity = 0xFFFF;

    CPlotTrace();
    ~CPlotTrace() override;
    CPlotTrace(const CPlotTrace&) = delete;
    CPlotTrace& operator=(const CPlotTrace&) = delete;

    void Serialize(CArchive& ar) override;

    // Ignored without room, and for a repeat of the last point once two are held.
    void AddPoint(double x, double y);
    void Empty();
    // False (and the trace unchanged) for a count outside 0..65535; false with
    // no room left when the allocation fails.
    bool SetCapacity(int points);
    void SetEnable(int enable);
    // Over all points; y only over points with x in [xFrom, xTo] unless allPoints.
    bool GetMinMax(double xFrom, double xTo, bool allPoints, double& xMin, double& xMax, double& yMin,
                   double& yMax);
    // Linear between the two points around t; the end point's y outside them.
    double ValueAt(double t);
    // What changed since the last call, and forgets it.
    TraceChange TakeChange();
    // Point i counted from the oldest. Caller holds the lock.
    const TracePoint& At(int i) const { return m_points[(m_head + i) % m_capacity]; }

    // Pixel polylines of the points, each column's run of points cut to its
    // first, lowest, highest and last: the same pixels for a fraction of the work.
    void BuildPolylines(const CRect& rect, double xStart, double yMin, double xPerUnit, double yPerUnit,
                        std::vector<POINT>& points, std::vector<int>& counts);

    double m_dLastX = 0.0;
    double m_dLastY = 0.0;
    COLORREF m_color = 0x80FF00;
    short m_nWidth = 1;
    WORD m_capacity = 0;
    short m_unused16 = 0;
    int m_unused32 = 0;
    int m_bEnable = 1;
    CPlotPen m_pen;
    CMutex m_lock;
    CDPlotArea* m_pArea = nullptr;
    short m_id = 0;
    WORD m_count = 0;
    WORD m_head = 0;
    TracePoint* m_points = nullptr;

private:
    void EmptyLocked();
    void NoteChange(double x);
    void NoteAllChanged();

    std::vector<TraceBlock> m_blocks;  // one for each kSlots slots of the ring
    TraceChange m_change;              // under m_lock
};
