#include "trazel/PlotTrace.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "platform/core/Archive.h"
#include "platform/core/SingleLock.h"

IMPLEMENT_SERIAL(CPlotTrace, CObject, 1)

namespace {
constexpr BYTE kGapMask = 0xFF;

// Far beyond any picture, yet safe to convert and to hand to the painter.
constexpr double kPixelLimit = 1 << 20;

// A pixel coordinate: origin + sign * (value - from) * perUnit, truncated, and
// held within reach of the painter for values far off the picture.
struct PixelAxis {
    double origin, from, perUnit, sign;
    double Unclamped(double value) const { return origin + sign * (perUnit * (value - from)); }
    LONG operator()(double value) const
    {
        const double p = Unclamped(value);
        // Written so that a value without a pixel (infinity times zero) lands at the edge.
        return static_cast<LONG>(p < kPixelLimit ? (p > -kPixelLimit ? p : -kPixelLimit) : kPixelLimit);
    }
};

// Collects polylines, reducing each pixel column's run of points to its first,
// highest, lowest and last: the segments inside one column are all vertical and
// together cover the span between the extremes, whatever their order. Values are
// kept as they are and turned into pixels once a column, which truncation (being
// monotonic) leaves with the same extremes.
class PolylineBuilder {
public:
    PolylineBuilder(std::vector<POINT>& points, std::vector<int>& counts, const PixelAxis& yAxis)
        : m_points(points), m_counts(counts), m_y(yAxis)
    {
    }

    void AddToColumn(double y)
    {
        m_last = y;
        m_low = std::min(m_low, y);
        m_high = std::max(m_high, y);
    }

    // Takes the points from p on while they lie in the open column, have a value
    // and no gap mark, with the column's state in registers; returns the first other.
    // Whole blocks of the ring (slots counted from base) that lie in the column
    // are taken from their summaries.
    const TracePoint* ScanColumn(const TracePoint* p, const TracePoint* end, const PixelAxis& xAxis,
                                 const TracePoint* base, TraceBlock* blocks)
    {
        constexpr int kSlots = TraceBlock::kSlots;
        const double from = m_columnFrom, to = m_columnTo;
        double low = m_low, high = m_high, last = m_last;
        while (p != end) {
            const auto slot = p - base;
            const TracePoint* stop = end;
            if (slot % kSlots == 0 && end - p >= kSlots) {
                const TraceBlock& block = Summary(blocks[slot / kSlots], p);
                const double a = xAxis.Unclamped(block.xMin), b = xAxis.Unclamped(block.xMax);
                if (block.plain && std::min(a, b) >= from && std::max(a, b) < to) {
                    low = std::min(low, block.yMin);
                    high = std::max(high, block.yMax);
                    last = p[kSlots - 1].y;
                    p += kSlots;
                    continue;
                }
                stop = p + kSlots;
            } else {
                stop = std::min(end, p + (kSlots - slot % kSlots));
            }
            for (; p != stop; ++p) {
                const double position = xAxis.Unclamped(p->x);
                const double y = p->y;
                if (!(position >= from && position < to) || std::isnan(y) || (p->flags & kGapMask)) {
                    stop = nullptr;
                    break;
                }
                low = std::min(low, y);
                high = std::max(high, y);
                last = y;
            }
            if (!stop)
                break;
        }
        m_low = low;
        m_high = high;
        m_last = last;
        return p;
    }

    static const TraceBlock& Summary(TraceBlock& block, const TracePoint* first)
    {
        if (block.fresh)
            return block;
        block = TraceBlock{first->x, first->x, first->y, first->y, true, true};
        for (const TracePoint* p = first; p != first + TraceBlock::kSlots; ++p) {
            block.xMin = std::min(block.xMin, p->x);
            block.xMax = std::max(block.xMax, p->x);
            block.yMin = std::min(block.yMin, p->y);
            block.yMax = std::max(block.yMax, p->y);
            if (std::isnan(p->x) || std::isnan(p->y) || (p->flags & kGapMask))
                block.plain = false;
        }
        return block;
    }

    void Add(LONG x, double y)
    {
        if (m_open && x == m_column) {
            AddToColumn(y);
            return;
        }
        if (m_open)
            FlushColumn();
        else
            m_start = m_points.size();
        m_open = true;
        m_column = x;
        // Positions in [x, x + 1) surely truncate to x for columns from 1 on, where
        // truncation is the floor; other columns take the exact way.
        const bool floorColumn = x >= 1 && x < kPixelLimit - 1;
        m_columnFrom = floorColumn ? x : 1.0;
        m_columnTo = floorColumn ? x + 1.0 : 0.0;
        m_first = m_low = m_high = m_last = y;
        m_points.push_back(POINT{x, m_y(y)});
    }

    void Close()
    {
        if (!m_open)
            return;
        FlushColumn();
        m_columnFrom = 1.0;
        m_columnTo = 0.0;
        const size_t count = m_points.size() - m_start;
        if (count >= 2)
            m_counts.push_back(static_cast<int>(count));
        else
            m_points.resize(m_start);
        m_open = false;
    }

private:
    // The line from the first to the last point covers the span between them;
    // an extreme beyond it takes a detour, the nearer one first.
    void FlushColumn()
    {
        const LONG first = m_points.back().y;
        const LONG last = m_y(m_last);
        const LONG top = m_y(m_high), bottom = m_y(m_low);
        const bool above = top < std::min(first, last);
        const bool below = bottom > std::max(first, last);
        if (above && below && first - top > bottom - first) {
            Emit(bottom);
            Emit(top);
        } else {
            if (above)
                Emit(top);
            if (below)
                Emit(bottom);
        }
        Emit(last);
    }
    void Emit(LONG y)
    {
        if (m_points.back().y != y)
            m_points.push_back(POINT{m_column, y});
    }

    std::vector<POINT>& m_points;
    std::vector<int>& m_counts;
    const PixelAxis m_y;
    bool m_open = false;
    size_t m_start = 0;
    LONG m_column = 0;
    double m_columnFrom = 1.0, m_columnTo = 0.0;  // empty while no column is open
    double m_first = 0, m_low = 0, m_high = 0, m_last = 0;
};
}  // namespace

CPlotTrace::CPlotTrace()
{
    m_pen.m_pOwner = this;
    SetCapacity(kDefaultCapacity);
}

CPlotTrace::~CPlotTrace() { delete[] m_points; }

void CPlotTrace::AddPoint(double x, double y)
{
    CSingleLock lock(&m_lock, TRUE);
    if (!m_points || m_capacity == 0)
        return;
    if (x == m_dLastX && y == m_dLastY && m_count > 1)
        return;
    int index = m_head + m_count;
    if (index >= m_capacity)
        index -= m_capacity;
    // The line from the newest point to this one, and from the dropped oldest to the next.
    if (m_count > 0)
        NoteChange(m_dLastX);
    NoteChange(x);
    if (m_count < m_capacity) {
        ++m_count;
    } else {
        NoteChange(m_points[m_head].x);
        m_head = static_cast<WORD>(m_head + 1 == m_capacity ? 0 : m_head + 1);
        if (m_count > 1)
            NoteChange(m_points[m_head].x);
    }
    m_points[index] = TracePoint{x, y, static_cast<DWORD>(m_pen.m_gapMark), 0};
    m_blocks[static_cast<size_t>(index / TraceBlock::kSlots)].fresh = false;
    m_dLastX = x;
    m_dLastY = y;
}

void CPlotTrace::NoteChange(double x)
{
    if (std::isnan(x)) {
        NoteAllChanged();
        return;
    }
    m_change.xLo = m_change.any ? std::min(m_change.xLo, x) : x;
    m_change.xHi = m_change.any ? std::max(m_change.xHi, x) : x;
    m_change.any = true;
}

void CPlotTrace::NoteAllChanged()
{
    m_change.any = true;
    m_change.all = true;
}

TraceChange CPlotTrace::TakeChange()
{
    CSingleLock lock(&m_lock, TRUE);
    const TraceChange change = m_change;
    m_change = TraceChange{};
    return change;
}

void CPlotTrace::EmptyLocked()
{
    if (m_count > 0)
        NoteAllChanged();
    m_count = 0;
    m_head = 0;
    m_dLastX = 0.0;
    m_dLastY = 0.0;
}

void CPlotTrace::Empty()
{
    CSingleLock lock(&m_lock, TRUE);
    EmptyLocked();
}

bool CPlotTrace::SetCapacity(int points)
{
    if (points < 0 || points > kMaxCapacity)
        return false;
    CSingleLock lock(&m_lock, TRUE);
    EmptyLocked();
    delete[] m_points;
    m_points = nullptr;
    m_capacity = 0;
    m_blocks.clear();
    if (points == 0)
        return true;
    m_points = new (std::nothrow) TracePoint[points];
    if (!m_points)
        return false;
    try {
        m_blocks.assign(static_cast<size_t>((points + TraceBlock::kSlots - 1) / TraceBlock::kSlots), TraceBlock{});
    } catch (const std::bad_alloc&) {
        delete[] m_points;
        m_points = nullptr;
        return false;
    }
    m_capacity = static_cast<WORD>(points);
    return true;
}

void CPlotTrace::SetEnable(int enable)
{
    CSingleLock lock(&m_lock, TRUE);
    if (enable == m_bEnable)
        return;
    EmptyLocked();
    NoteAllChanged();
    m_bEnable = enable;
    m_pen.m_bEnable = enable;
}

bool CPlotTrace::GetMinMax(double xFrom, double xTo, bool allPoints, double& xMin, double& xMax, double& yMin,
                           double& yMax)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_count == 0)
        return false;
    xMin = xMax = At(0).x;
    bool anyInRange = false;
    double lo = 0.0, hi = 0.0;
    for (int i = 0; i < m_count; ++i) {
        const TracePoint& p = At(i);
        xMin = std::min(xMin, p.x);
        xMax = std::max(xMax, p.x);
        if (!allPoints && (p.x < xFrom || p.x > xTo))
            continue;
        lo = anyInRange ? std::min(lo, p.y) : p.y;
        hi = anyInRange ? std::max(hi, p.y) : p.y;
        anyInRange = true;
    }
    if (!anyInRange)
        return GetMinMax(xFrom, xTo, true, xMin, xMax, yMin, yMax);
    yMin = lo;
    yMax = hi;
    return true;
}

double CPlotTrace::ValueAt(double t)
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_count == 0)
        return 0.0;
    int i = m_count - 1;
    while (i >= 0 && At(i).x > t)
        --i;
    if (i < 0)
        return At(0).y;
    if (i == m_count - 1)
        return At(i).y;
    const TracePoint& older = At(i);
    const TracePoint& newer = At(i + 1);
    const double dx = newer.x - older.x;
    // Points of one time (or out of order) have no slope between them.
    if (!(dx > 0.0))
        return newer.y;
    return older.y + (newer.y - older.y) / dx * (t - older.x);
}

void CPlotTrace::BuildPolylines(const CRect& rect, double xStart, double yMin, double xPerUnit, double yPerUnit,
                                std::vector<POINT>& points, std::vector<int>& counts)
{
    CSingleLock lock(&m_lock, TRUE);
    const PixelAxis xAxis{static_cast<double>(rect.left), xStart, xPerUnit, 1.0};
    PolylineBuilder builder(points, counts, PixelAxis{static_cast<double>(rect.bottom), yMin, yPerUnit, -1.0});
    // The ring in its two runs, oldest first, so the walk needs no index arithmetic.
    const int firstRun = std::min<int>(m_count, m_capacity - m_head);
    const TracePoint* const runs[2][2] = {{m_points + m_head, m_points + m_head + firstRun},
                                          {m_points, m_points + (m_count - firstRun)}};
    for (const auto& run : runs) {
        for (const TracePoint* p = run[0]; p != run[1]; ++p) {
            // Most points of a dense trace fall in the column of the point before.
            p = builder.ScanColumn(p, run[1], xAxis, m_points, m_blocks.data());
            if (p == run[1])
                break;
            if (std::isnan(p->x) || std::isnan(p->y)) {
                builder.Close();
                continue;
            }
            builder.Add(xAxis(p->x), p->y);
            // A gap mark ends the line at its point; the next point starts a new one.
            if (p->flags & kGapMask)
                builder.Close();
        }
    }
    builder.Close();
}

void CPlotTrace::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << m_id << m_unused16 << static_cast<DWORD>(m_color) << m_nWidth << m_capacity << m_unused32
           << m_bEnable;
        m_pen.Serialize(ar);
        return;
    }
    DWORD color = 0;
    WORD capacity = 0;
    ar >> m_id >> m_unused16 >> color >> m_nWidth >> capacity >> m_unused32 >> m_bEnable;
    m_color = color;
    m_pen.Serialize(ar);
    SetCapacity(capacity);
}
