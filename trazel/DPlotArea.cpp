#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Pen.h"
#include "trazel/PlotPaint.h"
#include "trazel/PlotTrace.h"
#include "trazel/Trazel.h"

using namespace trazel;

namespace {
constexpr int kCursorLineWidth = 2;

// A polyline less its leading and trailing lines that lie wholly left of
// `left` or right of `right`: those cannot reach the part being drawn.
void DrawVisibleRun(CDC* dc, const POINT* points, int count, LONG left, LONG right)
{
    const auto hidden = [&](const POINT& a, const POINT& b) {
        return (a.x < left && b.x < left) || (a.x > right && b.x > right);
    };
    const bool line = count >= 2;
    while (count >= 2 && hidden(points[0], points[1])) {
        ++points;
        --count;
    }
    while (count >= 2 && hidden(points[count - 2], points[count - 1]))
        --count;
    if (line && count < 2)
        return;
    dc->Polyline(points, count);
}

// A pixel for a value that may lie far off the picture.
int PixelOf(double position)
{
    constexpr double kLimit = 1 << 20;
    return std::isnan(position) ? 0 : static_cast<int>(std::clamp(position, -kLimit, kLimit));
}
}  // namespace

CDPlotArea::CDPlotArea(CTrazel* owner)
    : m_dCurrentTime(0.0), m_dCursorPos(0.0), m_pOwner(owner), m_nTracesAdded(0)
{
}

CDPlotArea::~CDPlotArea() { RemoveAllTraces(); }

int CDPlotArea::AddTrace()
{
    auto* trace = new CPlotTrace;
    trace->m_id = static_cast<short>(m_nTracesAdded);
    trace->m_pArea = this;
    m_traces.AddTail(trace);
    return m_nTracesAdded++;
}

void CDPlotArea::RemoveAllTraces()
{
    while (!m_traces.IsEmpty())
        delete m_traces.RemoveHead();
    m_nTracesAdded = 0;
}

int CDPlotArea::DeleteTrace(int id)
{
    for (POSITION pos = m_traces.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CPlotTrace* trace = m_traces.GetNext(pos);
        if (trace->m_id == id) {
            m_traces.RemoveAt(at);
            delete trace;
            return 1;
        }
    }
    return 0;
}

CPlotTrace* CDPlotArea::GetTracePtr(int id, int create)
{
    for (POSITION pos = m_traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = m_traces.GetNext(pos);
        if (trace->m_id == id)
            return trace;
    }
    if (!create)
        return nullptr;
    auto* trace = new CPlotTrace;
    trace->m_id = static_cast<short>(id);
    trace->m_pArea = this;
    m_traces.AddTail(trace);
    return trace;
}

int CDPlotArea::AddPoint(int id, double x, double y)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    trace->AddPoint(x, y);
    return 1;
}

int CDPlotArea::SetTraceColor(int id, COLORREF color)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    trace->m_color = color;
    return 1;
}

int CDPlotArea::SetPenColor(int id, COLORREF color)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    trace->m_pen.m_color = color;
    return 1;
}

int CDPlotArea::SetTraceWidth(int id, int width)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    trace->m_nWidth = static_cast<short>(width);
    return 1;
}

int CDPlotArea::SetTraceEnable(int id, int enable)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    trace->SetEnable(enable);
    return 1;
}

int CDPlotArea::SetMaxTracePoints(int id, int points)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    return trace && trace->SetCapacity(points) ? 1 : 0;
}

int CDPlotArea::GetTraceMinMax(int id, double& xMin, double& xMax, double& yMin, double& yMax)
{
    CPlotTrace* trace = GetTracePtr(id, 0);
    if (!trace)
        return 0;
    const CTrazel& t = *m_pOwner;
    return trace->GetMinMax(t.m_dXRangeStart, t.m_dXRangeEnd, t.m_nTimeMode == CTrazel::timeFixed, xMin, xMax,
                            yMin, yMax)
               ? 1
               : 0;
}

void CDPlotArea::ClearPlot()
{
    for (POSITION pos = m_traces.GetHeadPosition(); pos;)
        m_traces.GetNext(pos)->Empty();
}

void CDPlotArea::InsertDesignModeTraces()
{
    const CTrazel& t = *m_pOwner;
    const int n = m_traces.GetCount();
    if (n == 0)
        return;
    const double band = (t.m_dYMax - t.m_dYMin) / n;
    const double middle = (t.m_dXRangeStart + t.m_dXRangeEnd) / 2;
    double y = t.m_dYMax - band / 2;
    for (POSITION pos = m_traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = m_traces.GetNext(pos);
        trace->Empty();
        if (trace->m_bEnable) {
            trace->AddPoint(0.0, 0.0);
            trace->AddPoint(middle, y);
            trace->AddPoint(t.m_dXRangeEnd, y);
            trace->AddPoint(middle, y);
        }
        y -= band;
    }
}

void CDPlotArea::RunModeUpdatePlot()
{
    CTrazel& t = *m_pOwner;
    if (t.m_nTimeMode == CTrazel::timeFixed) {
        t.m_dXRangeStart = t.m_dXMin;
        t.m_dXRangeEnd = t.m_dXMax;
        return;
    }
    const double now = t.GetPlotTime() - t.m_nDisplayDelayMs / 1000.0 + t.m_dTimeOffset;
    const double width = t.m_dXMax - t.m_dXMin;
    double start = now - width;
    if (t.m_nTimeMode == CTrazel::timeSweep)
        start = width > 0.0 ? std::floor(now / width) * width : now;
    t.m_dXRangeStart = start;
    t.m_dXRangeEnd = start + width;
    m_dCurrentTime = now;
}

void CDPlotArea::Draw(CDC* dc, CRect rect)
{
    const CTrazel& t = *m_pOwner;
    rect.NormalizeRect();
    if (!(t.m_dXRangeStart < t.m_dXRangeEnd) || !(t.m_dYMin < t.m_dYMax))
        return;
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(rect.left, rect.top, rect.right, rect.bottom);
    m_plotRect = rect;
    if (!t.m_nNoAreaFill)
        dc->FillSolidRect(&rect, t.m_crPlotAreaBk);
    const CDPoint perUnit{rect.Width() / (t.m_dXRangeEnd - t.m_dXRangeStart),
                          rect.Height() / (t.m_dYMax - t.m_dYMin)};
    const bool showTraces = !t.m_pCallback || t.m_pCallback->TZCB_DrawBehindGrid(dc, rect, this);
    DrawGrid(dc, rect, perUnit);
    if (showTraces) {
        const int beforeTraces = dc->SaveDC();
        if (t.m_bRun)
            ClipTracesAtCurrentTime(dc, rect, perUnit);
        DrawTraces(dc, rect, perUnit);
        dc->RestoreDC(beforeTraces);
    }
    DrawMarkers(dc, rect, perUnit);
    if (t.m_pCallback)
        t.m_pCallback->TZCB_DrawInFrontOfTraces(dc, rect, this);
    if (t.m_bCursorLine)
        DrawCursorLine(dc, rect, perUnit);
    dc->RestoreDC(saved);
    DrawBorder(dc, rect, t.m_nPlotAreaBorderStyle);
}

void CDPlotArea::DrawGrid(CDC* dc, CRect rect, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    if (t.m_bXMinorGrid)
        DrawGridLines(dc, rect, 1, perUnit, t.m_dXRangeStart, t.m_dXRangeEnd, t.m_dXMinorStep,
                      t.m_nXMinorGridWidth, t.m_nXMinorGridStyle, t.m_crXMinorGrid);
    if (t.m_bYMinorGrid)
        DrawGridLines(dc, rect, 0, perUnit, t.m_dYMin, t.m_dYMax, t.m_dYMinorStep, t.m_nYMinorGridWidth,
                      t.m_nYMinorGridStyle, t.m_crYMinorGrid);
    if (t.m_bXMajorGrid)
        DrawGridLines(dc, rect, 1, perUnit, t.m_dXRangeStart, t.m_dXRangeEnd, t.m_dXMajorStep,
                      t.m_nXMajorGridWidth, t.m_nXMajorGridStyle, t.m_crXMajorGrid);
    if (t.m_bYMajorGrid)
        DrawGridLines(dc, rect, 0, perUnit, t.m_dYMin, t.m_dYMax, t.m_dYMajorStep, t.m_nYMajorGridWidth,
                      t.m_nYMajorGridStyle, t.m_crYMajorGrid);
}

void CDPlotArea::DrawGridLines(CDC* dc, CRect rect, int vertical, CDPoint perUnit, double start, double end,
                               double step, int width, int style, COLORREF color)
{
    const double yMax = m_pOwner->m_dYMax;
    // Lines outside the part being drawn are left out; the rest share one pen.
    CRect shown;
    if (dc->GetClipBox(&shown) == RGN_ERROR)
        shown = rect;
    shown.InflateRect(width + 1, width + 1);
    // A solid line may be cut to the part; a patterned one keeps its start.
    const bool solid = style == PS_SOLID;
    CPen pen(style, width, color);
    CPen* old = dc->SelectObject(&pen);
    ForEachStep(start, end, step, [&](double v) {
        if (vertical) {
            const int x = PixelOf(rect.left + perUnit.x * (v - start));
            if (x < shown.left || x > shown.right)
                return;
            dc->MoveTo(x, rect.top);
            dc->LineTo(x, rect.bottom);
        } else {
            const int y = PixelOf(rect.top + perUnit.y * (yMax - v));
            if (y < shown.top || y > shown.bottom)
                return;
            dc->MoveTo(solid ? std::max(rect.left, shown.left) : rect.left, y);
            dc->LineTo(solid ? std::min(rect.right, shown.right) : rect.right, y);
        }
    });
    dc->SelectObject(old);
}

void CDPlotArea::ClipTracesAtCurrentTime(CDC* dc, const CRect& rect, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    const int x = PixelOf(rect.left + perUnit.x * (m_dCurrentTime - t.m_dXRangeStart));
    if (t.m_nTimeMode == CTrazel::timeSweep)
        dc->IntersectClipRect(rect.left, rect.top, x - 1, rect.bottom);
    else if (t.m_nTimeMode == CTrazel::timeScroll)
        dc->IntersectClipRect(rect.left - 1, rect.top, x, rect.bottom);
}

void CDPlotArea::DrawTraces(CDC* dc, const CRect& rect, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    std::vector<POINT> points;
    std::vector<int> counts;
    for (POSITION pos = m_traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = m_traces.GetNext(pos);
        if (!trace->m_bEnable)
            continue;
        points.clear();
        counts.clear();
        trace->BuildPolylines(rect, t.m_dXRangeStart, t.m_dYMin, perUnit.x, perUnit.y, points, counts);
        if (counts.empty())
            continue;
        CPen pen(PS_SOLID, trace->m_nWidth, trace->m_color);
        CPen* old = dc->SelectObject(&pen);
        CRect shown;
        if (dc->GetClipBox(&shown) == RGN_ERROR)
            shown = rect;
        shown.InflateRect(trace->m_nWidth + 1, 0);
        const POINT* next = points.data();
        for (const int count : counts) {
            DrawVisibleRun(dc, next, count, shown.left, shown.right);
            next += count;
        }
        dc->SelectObject(old);
    }
}

void CDPlotArea::DrawMarkers(CDC* dc, const CRect& rect, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    const int saved = dc->SaveDC();
    const int right = t.m_nTimeMode == CTrazel::timeScroll ? rect.right + t.m_nInnerRightMargin : rect.right;
    dc->SelectClipRgn(nullptr);
    dc->IntersectClipRect(rect.left, rect.top, right, rect.bottom);
    const bool placeAtNow = t.m_bRun && (t.m_nTimeMode == CTrazel::timeScroll || t.m_nTimeMode == CTrazel::timeSweep);
    for (POSITION pos = m_traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = m_traces.GetNext(pos);
        CPlotPen& pen = trace->m_pen;
        if (placeAtNow) {
            pen.m_x = PixelOf(rect.left + perUnit.x * (m_dCurrentTime - t.m_dXRangeStart));
            pen.m_y = PixelOf(rect.bottom - perUnit.y * (trace->ValueAt(m_dCurrentTime) - t.m_dYMin));
        }
        if (pen.m_nShape != CPlotPen::shapeTriangle || !pen.m_bEnable)
            continue;
        const POINT triangle[3] = {{pen.m_x, pen.m_y},
                                   {pen.m_x + pen.m_nWidth, pen.m_y - pen.m_nHeight / 2},
                                   {pen.m_x + pen.m_nWidth, pen.m_y + pen.m_nHeight / 2}};
        CPen outline(PS_SOLID, 1, pen.m_color);
        CBrush fill(pen.m_color);
        CPen* oldPen = dc->SelectObject(&outline);
        CBrush* oldBrush = dc->SelectObject(&fill);
        dc->Polygon(triangle, 3);
        dc->SelectObject(oldBrush);
        dc->SelectObject(oldPen);
    }
    dc->RestoreDC(saved);
}

void CDPlotArea::DrawCursorLine(CDC* dc, const CRect& rect, CDPoint perUnit)
{
    const CTrazel& t = *m_pOwner;
    const int x = PixelOf(rect.left + perUnit.x * (m_dCursorPos - t.m_dXRangeStart));
    DrawLine(dc, x, rect.top, x, rect.bottom, PS_SOLID, kCursorLineWidth, t.m_crCursorLine);
}

void CDPlotArea::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(m_traces.GetCount()));
        for (POSITION pos = m_traces.GetHeadPosition(); pos;)
            ar.WriteObject(m_traces.GetNext(pos));
        return;
    }
    // Read everything first, so a broken archive leaves the traces as they were.
    CList<CPlotTrace*, CPlotTrace*> loaded;
    std::unordered_set<int> ids;
    try {
        for (ULONGLONG n = ar.ReadCount(); n > 0; --n) {
            auto* trace = static_cast<CPlotTrace*>(ar.ReadOwnedObject(RUNTIME_CLASS(CPlotTrace)));
            if (!trace)
                continue;
            // Two traces of one id would leave the second out of reach.
            loaded.AddTail(trace);
            if (!ids.insert(trace->m_id).second)
                ar.ThrowArchive(CArchiveException::badIndex);
        }
    } catch (...) {
        while (!loaded.IsEmpty())
            delete loaded.RemoveHead();
        throw;
    }
    RemoveAllTraces();
    int nextId = 0;
    while (!loaded.IsEmpty()) {
        CPlotTrace* trace = loaded.RemoveHead();
        trace->m_pArea = this;
        nextId = std::max(nextId, trace->m_id + 1);
        m_traces.AddTail(trace);
    }
    m_nTracesAdded = nextId;
}
