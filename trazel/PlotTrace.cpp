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

bool ToPixel(double offset, int origin, int sign, LONG& pixel)
{
    const double p = origin + sign * offset;
    if (std::isnan(p))
        return false;
    pixel = static_cast<LONG>(std::clamp(p, -kPixelLimit, kPixelLimit));
    return true;
}

// Collects one polyline, reducing each pixel column's run of points.
class PolylineBuilder {
public:
    PolylineBuilder(std::vector<POINT>& points, std::vector<int>& counts) : m_points(points), m_counts(counts) {}

    void Add(POINT p)
    {
        if (m_open && p.x == m_column) {
            m_last = p.y;
            if (p.y < m_min) {
                m_min = p.y;
                m_minSeq = ++m_seq;
            }
            if (p.y > m_max) {
                m_max = p.y;
                m_maxSeq = ++m_seq;
            }
            return;
        }
        if (m_open)
            FlushColumn();
        else
            m_start = static_cast<int>(m_points.size());
        m_open = true;
        Emit(p.x, p.y);
        m_column = p.x;
        m_min = m_max = m_last = p.y;
        m_minSeq = m_maxSeq = m_seq = 0;
    }

    void Close()
    {
        if (!m_open)
            return;
        FlushColumn();
        const int count = static_cast<int>(m_points.size()) - m_start;
        if (count >= 2)
            m_counts.push_back(count);
        else
            m_points.resize(m_start);
        m_open = false;
    }

private:
    void FlushColumn()
    {
        if (m_minSeq < m_maxSeq) {
            Emit(m_column, m_min);
            Emit(m_column, m_max);
        } else {
            Emit(m_column, m_max);
            Emit(m_column, m_min);
        }
        Emit(m_column, m_last);
    }
    void Emit(LONG x, LONG y)
    {
        if (static_cast<int>(m_points.size()) > m_start && m_points.back().x == x && m_points.back().y == y)
            return;
        m_points.push_back(POINT{x, y});
    }

    std::vector<POINT>& m_points;
    std::vector<int>& m_counts;
    bool m_open = false;
    int m_start = 0;
    LONG m_column = 0, m_min = 0, m_max = 0, m_last = 0;
    int m_minSeq = 0, m_maxSeq = 0, m_seq = 0;
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
    if (m_count < m_capacity)
        ++m_count;
    else
        m_head = static_cast<WORD>(m_head + 1 == m_capacity ? 0 : m_head + 1);
    m_points[index] = TracePoint{x, y, static_cast<DWORD>(m_pen.m_gapMark), 0};
    m_dLastX = x;
    m_dLastY = y;
}

void CPlotTrace::EmptyLocked()
{
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
    if (points == 0)
        return true;
    m_points = new (std::nothrow) TracePoint[points];
    if (!m_points)
        return false;
    m_capacity = static_cast<WORD>(points);
    return true;
}

void CPlotTrace::SetEnable(int enable)
{
    CSingleLock lock(&m_lock, TRUE);
    if (enable == m_bEnable)
        return;
    EmptyLocked();
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
    PolylineBuilder builder(points, counts);
    const auto pixel = [&](const TracePoint& p, POINT& out) {
        return ToPixel(xPerUnit * (p.x - xStart), rect.left, 1, out.x) &&
               ToPixel(yPerUnit * (p.y - yMin), rect.bottom, -1, out.y);
    };
    POINT from{}, to{};
    bool fromValid = m_count > 0 && pixel(At(0), from);
    for (int i = 0; i + 1 < m_count; ++i) {
        const bool toValid = pixel(At(i + 1), to);
        if ((At(i).flags & kGapMask) || !fromValid || !toValid) {
            builder.Close();
        } else {
            builder.Add(from);
            builder.Add(to);
        }
        from = to;
        fromValid = toValid;
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
