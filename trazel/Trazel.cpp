#include "trazel/Trazel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/core/SingleLock.h"
#include "trazel/DPlotFrame.h"
#include "trazel/PlotBackdrop.h"
#include "trazel/PlotChanges.h"
#include "trazel/PlotTrace.h"

namespace {
LOGFONT ArialOf(int height)
{
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWeight = FW_NORMAL;
    std::strncpy(font.lfFaceName, "Arial", LF_FACESIZE - 1);
    return font;
}

// True when format is safe to hand to printf with one double: at most one
// conversion, and that one of a floating kind, with no '*' width or precision.
bool IsOneRealFormat(const char* format)
{
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        ++p;
        if (*p == '%')
            continue;
        p += std::strspn(p, "-+ #0'");
        p += std::strspn(p, "0123456789");
        if (*p == '.') {
            ++p;
            p += std::strspn(p, "0123456789");
        }
        if (*p == 'l')
            ++p;
        if (!*p || !std::strchr("fFeEgGaA", *p))
            return false;
        ++conversions;
    }
    return conversions <= 1;
}

void CopyOut(const CString& text, char* out)
{
    const size_t length = std::min<size_t>(text.GetLength(), CTrazel::kFormattedValSize - 1);
    std::memcpy(out, text.GetString(), length);
    out[length] = '\0';
}
}  // namespace

CTrazel::CTrazel()
    : m_xScaleFont(ArialOf(12)),
      m_yScaleFont(ArialOf(12)),
      m_xLabelFont(ArialOf(15)),
      m_yLabelFont(ArialOf(15)),
      m_bXMajorTicks(1),
      m_bYMajorTicks(1),
      m_bXMinorTicks(1),
      m_bYMinorTicks(1),
      m_bXLabel(1),
      m_bYLabel(1),
      m_nXLabelOrientation(0),
      m_nYLabelOrientation(1),
      m_nXScaleDigits(1),
      m_nYScaleDigits(1),
      m_crXLabelText(0xFFFFFF),
      m_crYLabelText(0xFFFFFF),
      m_dXMin(0.0),
      m_dYMin(-100.0),
      m_dXMax(10.0),
      m_dYMax(100.0),
      m_nTimeMode(timeScroll),
      m_crPlotAreaBk(0x804040),
      m_crXScaleBk(0xB4B400),
      m_crYScaleBk(0xB4B400),
      m_dUnused1(1.0),
      m_crFrameBk(0xC0C0C0),
      m_nXLabelAlignAcross(2),
      m_nYLabelAlignAlong(1),
      m_nXLabelAlignAlong(0),
      m_nYLabelAlignAcross(2),
      m_dXMajorStep(2.0),
      m_dYMajorStep(40.0),
      m_dXMinorStep(0.5),
      m_dYMinorStep(10.0),
      m_nXMajorTickWidth(1),
      m_nYMajorTickWidth(1),
      m_nXMinorTickWidth(1),
      m_nYMinorTickWidth(1),
      m_bXMajorGrid(1),
      m_bXMinorGrid(1),
      m_bYMajorGrid(1),
      m_bYMinorGrid(1),
      m_crXMajorGrid(0x401E1E),
      m_crYMajorGrid(0x401E1E),
      m_crXMinorGrid(0x643232),
      m_crYMinorGrid(0x643232),
      m_nXMajorGridStyle(PS_SOLID),
      m_nYMajorGridStyle(PS_SOLID),
      m_nXMinorGridStyle(PS_SOLID),
      m_nYMinorGridStyle(PS_SOLID),
      m_nXMajorGridWidth(1),
      m_nYMajorGridWidth(1),
      m_nXMinorGridWidth(1),
      m_nYMinorGridWidth(1),
      m_crXMajorTick(0),
      m_crYMajorTick(0),
      m_crXMinorTick(0),
      m_crYMinorTick(0),
      m_nXMajorTickLength(10),
      m_nYMajorTickLength(10),
      m_nXMinorTickLength(5),
      m_nYMinorTickLength(5),
      m_strXLabel("X-Axis Label"),
      m_strYLabel("Y-Axis Label"),
      m_nPlotAreaBorderStyle(4),
      m_nFrameBorderStyle(3),
      m_nFrameBkStyle(0),
      m_bXScaleBand(1),
      m_bYScaleBand(1),
      m_nXScaleBandSize(25),
      m_nYScaleBandSize(25),
      m_nScaleAreaBorderStyle(2),
      m_crXScaleText(0),
      m_crYScaleText(0),
      m_nXScaleTextOrientation(0),
      m_nYScaleTextOrientation(1),
      m_nXAxisSide(1),
      m_nYAxisSide(0),
      m_crScaleAreaBk(0xB4B400),
      m_bInnerMargins(1),
      m_nNoAreaFill(0),
      m_nOuterTopMargin(10),
      m_nOuterBottomMargin(25),
      m_nOuterLeftMargin(25),
      m_nOuterRightMargin(15),
      m_nInnerTopMargin(5),
      m_nInnerBottomMargin(15),
      m_nInnerLeftMargin(15),
      m_nInnerRightMargin(15),
      m_nUnused1(100),
      m_crCursorLine(0xFF64C8),
      m_nDisplayDelayMs(200),
      m_nHold(0),
      m_bCursorLine(0),
      m_dXRangeEnd(10.0),
      m_dXRangeStart(0.0),
      m_dTimeOffset(0.0),
      m_pPlotArea(nullptr),
      m_pScale(nullptr),
      m_pFrame(nullptr),
      m_bRun(0),
      m_bRecreateBuffer(1),
      m_bHold(0),
      m_bBufferValid(0),
      m_pCallback(nullptr),
      m_pBackdrop(new CPlotBackdrop),
      m_pChanges(new CPlotChanges)
{
    m_pPlotArea = new CDPlotArea(this);
    m_pScale = new CDPlotScale(this);
    m_pFrame = new CDPlotFrame(this);
}

CTrazel::~CTrazel()
{
    m_memDC.SelectObject(static_cast<CBitmap*>(nullptr));
    m_memDC.DeleteDC();
    m_bitmap.DeleteObject();
    delete m_pChanges;
    delete m_pBackdrop;
    delete m_pFrame;
    delete m_pScale;
    delete m_pPlotArea;
}

void CTrazel::SetTrazelCallback(CTrazelCallback* callback) { m_pCallback = callback; }

int CTrazel::AddTrace(int n)
{
    if (n == 0)
        return 0;
    int id = 0;
    for (int i = 0; i < std::max(n, 1); ++i)
        id = m_pPlotArea->AddTrace();
    return id;
}

int CTrazel::DeleteTrace(int id) { return m_pPlotArea->DeleteTrace(id); }
int CTrazel::SetTraceColor(int id, COLORREF color) { return m_pPlotArea->SetTraceColor(id, color); }
int CTrazel::SetTraceWidth(int id, int width) { return m_pPlotArea->SetTraceWidth(id, width); }
int CTrazel::SetTraceEnable(int id, int enable) { return m_pPlotArea->SetTraceEnable(id, enable); }
int CTrazel::SetPenColor(int id, COLORREF color) { return m_pPlotArea->SetPenColor(id, color); }
int CTrazel::SetMaxTracePoints(int id, int points) { return m_pPlotArea->SetMaxTracePoints(id, points); }

int CTrazel::PlotPoint(int id, double x, double y) { return m_pPlotArea->AddPoint(id, x, y); }
int CTrazel::PlotPoint(int id, double y) { return PlotPoint(id, GetPlotTime(), y); }

void CTrazel::ResetPlot()
{
    m_dXRangeEnd = 10.0;
    m_dXRangeStart = 0.0;
    ClearPlot();
}

void CTrazel::ClearPlot() { m_pPlotArea->ClearPlot(); }

int CTrazel::GetTraceMinMax(int id, double& xMin, double& xMax, double& yMin, double& yMax)
{
    return m_pPlotArea->GetTraceMinMax(id, xMin, xMax, yMin, yMax);
}

double CTrazel::GetPlotTime() { return m_pCallback ? m_pCallback->TZCB_GetPlotTime() : 0.0; }

void CTrazel::GetFormattedVal(double value, const char* format, int digits, char* out)
{
    if (!out)
        return;
    if (!format)
        format = "";
    CString text;
    if (std::strcmp(format, "TF_S") == 0) {
        text = ConvertTimeText(value, 0, digits);
    } else if (std::strcmp(format, "TF_MS") == 0) {
        text = ConvertTimeText(value, 1, digits);
    } else if (std::strcmp(format, "TF_HMS") == 0) {
        text = ConvertTimeText(value, 2, digits);
    } else {
        // A format that would read more than the one real falls back to fixed notation.
        CString safe = format;
        if (!IsOneRealFormat(format))
            safe.Format("%%0.%uf", static_cast<unsigned>(std::clamp(digits, 0, 30)));
        char buffer[kFormattedValSize];
        std::snprintf(buffer, sizeof buffer, safe.GetString(), value);
        text = buffer;
    }
    CopyOut(text, out);
}

CString CTrazel::ConvertTimeText(double seconds, int mode, int digits)
{
    const bool negative = seconds < 0;
    if (negative)
        seconds = -seconds;
    // Beyond this the counts no longer fit their fields; such times are not shown.
    if (!(seconds < 4e9))
        seconds = 0.0;
    const unsigned fractionDigits = static_cast<unsigned>(std::clamp(digits, 0, 9));
    const double whole = std::floor(seconds);
    const double frac = seconds - whole;
    const auto wholeSeconds = static_cast<unsigned long long>(whole);
    const auto s = static_cast<unsigned>(static_cast<double>(wholeSeconds % 60) + 0.05);
    const auto m = static_cast<unsigned>(wholeSeconds / 60);
    const auto frame = static_cast<unsigned>(frac * 30 + 0.5);
    const auto fraction = static_cast<unsigned>(frac * std::pow(10.0, fractionDigits));
    if (mode == 4)
        mode = m / 60 > 0 ? 2 : m % 60 > 0 ? 1 : 0;

    CString pattern, text;
    switch (mode) {
    case 0:
        pattern.Format("%%0.%uf", static_cast<unsigned>(std::clamp(digits, 0, 30)));
        text.Format(pattern.GetString(), seconds);
        break;
    case 1:
        if (fractionDigits > 0) {
            pattern.Format("%%02u:%%02u.%%0%uu", fractionDigits);
            text.Format(pattern.GetString(), m % 60, s, fraction);
        } else {
            text.Format("%02u:%02u", m % 60, s);
        }
        break;
    case 2:
        if (fractionDigits > 0) {
            pattern.Format("%%02u:%%02u:%%02u.%%0%uu", fractionDigits);
            text.Format(pattern.GetString(), m / 60, m % 60, s, fraction);
        } else {
            text.Format("%02u:%02u:%02u", m / 60, m % 60, s);
        }
        break;
    case 3: text.Format("%02u:%02u:%02u:%02u", m / 60, m % 60, s, frame); break;
    case 5: {
        const unsigned h = m / 60, n = m % 60;
        if (h >= 1)
            text.Format("%u %s %u %s", h, h == 1 ? "hour" : "hours", n, n == 1 ? "min" : "mins");
        else if (n == 1)
            text = "about a minute";
        else if (n == 0)
            text = "less than a minute";
        else
            text.Format("%u mins", n);
        break;
    }
    default: return CString();
    }
    if (negative)
        text = CString("-") + text;
    return text;
}

CRect CTrazel::PlotRectOf(const CRect& whole) const
{
    CRect plot(whole.left + m_nOuterLeftMargin, whole.top + m_nOuterTopMargin, whole.right - m_nOuterRightMargin,
               whole.bottom - m_nOuterBottomMargin);
    if (m_bXScaleBand) {
        if (m_nXAxisSide == 0)
            plot.top += m_nXScaleBandSize;
        else
            plot.bottom -= m_nXScaleBandSize;
    }
    if (m_bYScaleBand) {
        if (m_nYAxisSide == 0)
            plot.left += m_nYScaleBandSize;
        else
            plot.right -= m_nYScaleBandSize;
    }
    if (m_bInnerMargins) {
        plot.left += m_nInnerLeftMargin;
        plot.top += m_nInnerTopMargin;
        plot.right -= m_nInnerRightMargin;
        plot.bottom -= m_nInnerBottomMargin;
    }
    return plot;
}

bool CTrazel::PrepareBuffer(CDC* dc, const CRect& whole)
{
    if (!m_bRecreateBuffer && m_bBufferValid && whole == m_lastRect)
        return true;
    m_memDC.SelectObject(static_cast<CBitmap*>(nullptr));
    m_bitmap.DeleteObject();
    m_memDC.DeleteDC();
    m_bBufferValid = 0;
    m_bRecreateBuffer = 0;
    m_lastRect = whole;
    // The buffer covers the rectangle measured from the origin, so it draws in place.
    if (!m_memDC.CreateCompatibleDC(dc) || !m_bitmap.CreateCompatibleBitmap(dc, whole.right, whole.bottom))
        return false;
    m_memDC.SelectObject(&m_bitmap);
    m_bBufferValid = 1;
    return true;
}

void CTrazel::AdvanceXRange()
{
    if (m_bRun && !m_nHold && !m_bHold)
        m_pPlotArea->RunModeUpdatePlot();
}

void CTrazel::DrawAreaAndExtras(CDC* dc, const CRect& whole, const CRect& plot)
{
    m_pPlotArea->Draw(dc, plot);
    if (m_pCallback)
        m_pCallback->TZCB_DrawExtraNonPlotArea(dc, whole);
}

void CTrazel::DrawParts(CDC* dc, const CRect& whole, const CRect& plot)
{
    m_pFrame->Draw(dc, whole);
    m_pScale->Draw(dc, plot);
    DrawAreaAndExtras(dc, whole, plot);
}

void CTrazel::Draw(CDC* dc, const CRect& whole, const CRect& clip)
{
    if (!dc)
        return;
    CSingleLock lock(&m_lock, TRUE);
    const CRect plot = PlotRectOf(whole);
    if (!m_bRun)
        m_pPlotArea->InsertDesignModeTraces();
    else
        AdvanceXRange();
    CRect part;
    if (!part.IntersectRect(whole, clip))
        return;
    const bool freshBuffer = m_bRecreateBuffer || !m_bBufferValid || whole != m_lastRect;
    if (!PrepareBuffer(dc, whole)) {
        DrawParts(dc, whole, plot);
        return;
    }
    if (freshBuffer)
        m_pBackdrop->Forget();
    // Only the part is drawn anew: the rest of the buffer never reaches dc.
    const int saved = m_memDC.SaveDC();
    m_memDC.IntersectClipRect(part.left, part.top, part.right, part.bottom);
    m_pBackdrop->DrawInto(*this, &m_memDC, whole, plot, part);
    DrawAreaAndExtras(&m_memDC, whole, plot);
    m_memDC.RestoreDC(saved);
    dc->BitBlt(part.left, part.top, part.Width(), part.Height(), &m_memDC, part.left, part.top, SRCCOPY);
}

CRect CTrazel::GetChangedRect(const CRect& whole)
{
    CSingleLock lock(&m_lock, TRUE);
    AdvanceXRange();
    return m_pChanges->Take(*this, whole, PlotRectOf(whole));
}
