// Trazel: strip-chart time plots drawn into a device context. This is the
// library's one public header. The oscilloscope derives from CTrazel and
// writes its members directly, so the order and types of the data members
// below are part of the interface: add nothing between them.
#pragma once

#include "platform/core/List.h"
#include "platform/core/Mutex.h"
#include "platform/core/String.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/Font.h"
#include "platform/ui/Rect.h"

#if defined(TRAZEL_BUILD)
#define TRAZEL_API __attribute__((visibility("default")))
#else
#define TRAZEL_API
#endif

class CArchive;
class CDPlotArea;
class CDPlotFrame;
class CDPlotScale;
class CPlotBackdrop;
class CPlotChanges;
class CPlotTrace;

// Pixels per unit along X and Y.
struct CDPoint {
    double x = 0.0;
    double y = 0.0;
};

// What a plot's owner may add to the drawing, and where the plot's time comes from.
class TRAZEL_API CTrazelCallback {
public:
    CTrazelCallback() = default;
    CTrazelCallback(const CTrazelCallback&) = default;
    CTrazelCallback& operator=(const CTrazelCallback&) = default;
    virtual ~CTrazelCallback() = default;

    // After the area's background, before the grid. Zero leaves the traces out.
    virtual int TZCB_DrawBehindGrid(CDC* dc, CRect plotRect, CDPlotArea* area);
    virtual int TZCB_DrawInFrontOfTraces(CDC* dc, CRect plotRect, CDPlotArea* area);
    // Over the whole picture, after everything else.
    virtual int TZCB_DrawExtraNonPlotArea(CDC* dc, CRect wholeRect);
    // Seconds: the time of the newest plotted data.
    virtual double TZCB_GetPlotTime();
};

// The plot object. Drawing runs on one thread under the library lock; the
// sampling thread may add points at the same time (each trace has its own lock).
// Everything else (traces set up, members written) belongs to the drawing thread.
class TRAZEL_API CTrazel {
public:
    enum TimeMode { timeScroll = 0, timeSweep = 1, timeFixed = 2 };

    CTrazel();
    virtual ~CTrazel();
    CTrazel(const CTrazel&) = delete;
    CTrazel& operator=(const CTrazel&) = delete;

    void SetTrazelCallback(CTrazelCallback* callback);

    // n < 0 adds one trace, n > 0 adds n; the id of the last one added (n for n = 0).
    int AddTrace(int n);
    int DeleteTrace(int id);
    int SetTraceColor(int id, COLORREF color);
    int SetTraceWidth(int id, int width);
    int SetTraceEnable(int id, int enable);
    int SetPenColor(int id, COLORREF color);
    // 0 for an unknown id, a count outside 0..65535 or a failed allocation.
    int SetMaxTracePoints(int id, int points);

    // Thread-safe against Draw: the sampling thread calls these.
    int PlotPoint(int id, double x, double y);
    int PlotPoint(int id, double y);

    void ResetPlot();
    void ClearPlot();
    int GetTraceMinMax(int id, double& xMin, double& xMax, double& yMin, double& yMax);
    double GetPlotTime();

    // Writes at most kFormattedValSize characters with the terminating zero.
    static constexpr int kFormattedValSize = 256;
    static void GetFormattedVal(double value, const char* format, int digits, char* out);
    // Modes: 0 seconds, 1 mm:ss, 2 hh:mm:ss, 3 hh:mm:ss:frames, 4 the shortest of 0-2, 5 words.
    static CString ConvertTimeText(double seconds, int mode, int digits);

    // Draws the plot of `whole` through an off-screen buffer; only the part
    // inside clip reaches dc (pass whole for all of it).
    void Draw(CDC* dc, const CRect& whole, const CRect& clip);
    // The part of `whole` whose picture changed since the last call, empty
    // when none did: repainting just that part keeps the screen as Draw would
    // paint it. Advances the time window as Draw does. What the callback draws
    // is not seen here; setting m_bRecreateBuffer makes it all of `whole`.
    CRect GetChangedRect(const CRect& whole);

    // ---- Data members, in their published order ----
    LOGFONT m_xScaleFont;
    LOGFONT m_yScaleFont;
    LOGFONT m_xLabelFont;
    LOGFONT m_yLabelFont;

    // Tick flags also scale the stand-off of the scale texts.
    int m_bXMajorTicks;
    int m_bYMajorTicks;
    int m_bXMinorTicks;
    int m_bYMinorTicks;
    int m_bXLabel;
    int m_bYLabel;

    // Orientation: 0 horizontal, 1 at 90 degrees.
    short m_nXLabelOrientation;
    short m_nYLabelOrientation;
    short m_nXScaleDigits;
    short m_nYScaleDigits;

    COLORREF m_crXLabelText;
    COLORREF m_crYLabelText;

    double m_dXMin;
    double m_dYMin;
    double m_dXMax;
    double m_dYMax;

    short m_nTimeMode;

    COLORREF m_crPlotAreaBk;
    COLORREF m_crXScaleBk;
    COLORREF m_crYScaleBk;
    double m_dUnused1;
    COLORREF m_crFrameBk;

    // Alignment along an axis: 0 start + 2 pixels, 1 end - 2 pixels, 2 centred.
    // Across it: 0 bottom (right) end at the anchor, 1 top (left) end, 2 centred.
    short m_nXLabelAlignAcross;
    short m_nYLabelAlignAlong;
    short m_nXLabelAlignAlong;
    short m_nYLabelAlignAcross;

    // Zero switches the step's lines and texts off.
    double m_dXMajorStep;
    double m_dYMajorStep;
    double m_dXMinorStep;
    double m_dYMinorStep;

    short m_nXMajorTickWidth;
    short m_nYMajorTickWidth;
    short m_nXMinorTickWidth;
    short m_nYMinorTickWidth;

    int m_bXMajorGrid;
    int m_bXMinorGrid;
    int m_bYMajorGrid;
    int m_bYMinorGrid;

    COLORREF m_crXMajorGrid;
    COLORREF m_crYMajorGrid;
    COLORREF m_crXMinorGrid;
    COLORREF m_crYMinorGrid;

    // Pen styles (PS_SOLID ...).
    short m_nXMajorGridStyle;
    short m_nYMajorGridStyle;
    short m_nXMinorGridStyle;
    short m_nYMinorGridStyle;

    short m_nXMajorGridWidth;
    short m_nYMajorGridWidth;
    short m_nXMinorGridWidth;
    short m_nYMinorGridWidth;

    COLORREF m_crXMajorTick;
    COLORREF m_crYMajorTick;
    COLORREF m_crXMinorTick;
    COLORREF m_crYMinorTick;

    short m_nXMajorTickLength;
    short m_nYMajorTickLength;
    short m_nXMinorTickLength;
    short m_nYMinorTickLength;

    CString m_strXLabel;
    CString m_strYLabel;

    // Border styles: 0 none, 1 light, 2 black, 3 raised, 4 sunken.
    short m_nPlotAreaBorderStyle;
    short m_nFrameBorderStyle;
    // 0 filled, 2 no frame at all, others unfilled.
    short m_nFrameBkStyle;

    int m_bXScaleBand;
    int m_bYScaleBand;
    short m_nXScaleBandSize;
    short m_nYScaleBandSize;
    short m_nScaleAreaBorderStyle;

    COLORREF m_crXScaleText;
    COLORREF m_crYScaleText;
    short m_nXScaleTextOrientation;
    short m_nYScaleTextOrientation;

    // X: 0 top, 1 bottom. Y: 0 left, 1 right.
    short m_nXAxisSide;
    short m_nYAxisSide;

    COLORREF m_crScaleAreaBk;
    int m_bInnerMargins;

    short m_nNoAreaFill;
    short m_nOuterTopMargin;
    short m_nOuterBottomMargin;
    short m_nOuterLeftMargin;
    short m_nOuterRightMargin;
    short m_nInnerTopMargin;
    short m_nInnerBottomMargin;
    short m_nInnerLeftMargin;
    short m_nInnerRightMargin;

    CString m_strUnused1;
    CString m_strUnused2;
    int m_nUnused1;

    COLORREF m_crCursorLine;
    int m_nDisplayDelayMs;  // taken off the plot time when scrolling or sweeping
    short m_nHold;
    int m_bCursorLine;

    // The X values at the right and left edge of the area.
    double m_dXRangeEnd;
    double m_dXRangeStart;
    double m_dTimeOffset;

    CDPlotArea* m_pPlotArea;
    CDPlotScale* m_pScale;
    CDPlotFrame* m_pFrame;

    int m_bRun;  // 0: design mode, sample traces are drawn
    int m_bRecreateBuffer;
    int m_bHold;
    int m_bBufferValid;

    CMutex m_lock;
    CDC m_memDC;
    CRect m_lastRect;
    CBitmap m_bitmap;

    CTrazelCallback* m_pCallback;

private:
    CRect PlotRectOf(const CRect& whole) const;
    void AdvanceXRange();
    bool PrepareBuffer(CDC* dc, const CRect& whole);
    void DrawParts(CDC* dc, const CRect& whole, const CRect& plot);
    void DrawAreaAndExtras(CDC* dc, const CRect& whole, const CRect& plot);

    // Kept after the published members: the frame and scales as last drawn,
    // and the picture as last reported by GetChangedRect.
    CPlotBackdrop* m_pBackdrop;
    CPlotChanges* m_pChanges;
};

// The area inside the scales: background, grid, traces, markers, cursor line.
class TRAZEL_API CDPlotArea {
public:
    explicit CDPlotArea(CTrazel* owner);
    virtual ~CDPlotArea();
    CDPlotArea(const CDPlotArea&) = delete;
    CDPlotArea& operator=(const CDPlotArea&) = delete;

    int AddTrace();
    void RemoveAllTraces();
    int DeleteTrace(int id);
    CPlotTrace* GetTracePtr(int id, int create);
    int GetTraceCount() const { return m_nTracesAdded; }
    int AddPoint(int id, double x, double y);
    int SetTraceColor(int id, COLORREF color);
    int SetPenColor(int id, COLORREF color);
    int SetTraceWidth(int id, int width);
    int SetTraceEnable(int id, int enable);
    int SetMaxTracePoints(int id, int points);
    int GetTraceMinMax(int id, double& xMin, double& xMax, double& yMin, double& yMax);
    void ClearPlot();
    void InsertDesignModeTraces();
    void RunModeUpdatePlot();
    void Draw(CDC* dc, CRect rect);
    // The trace list. A failed load throws and leaves the area as it was.
    void Serialize(CArchive& ar);

    double m_dCurrentTime;
    double m_dCursorPos;
    CTrazel* m_pOwner;
    CList<CPlotTrace*, CPlotTrace*> m_traces;
    int m_nTracesAdded;
    CRect m_plotRect;

protected:
    void DrawGrid(CDC* dc, CRect rect, CDPoint pixelsPerUnit);
    void DrawGridLines(CDC* dc, CRect rect, int vertical, CDPoint pixelsPerUnit, double start, double end,
                       double step, int width, int style, COLORREF color);

private:
    void DrawTraces(CDC* dc, const CRect& rect, CDPoint pixelsPerUnit);
    void DrawMarkers(CDC* dc, const CRect& rect, CDPoint pixelsPerUnit);
    void DrawCursorLine(CDC* dc, const CRect& rect, CDPoint pixelsPerUnit);
    void ClipTracesAtCurrentTime(CDC* dc, const CRect& rect, CDPoint pixelsPerUnit);
};

// Ticks and texts of both axes in their bands around the area.
class TRAZEL_API CDPlotScale {
public:
    explicit CDPlotScale(CTrazel* owner);
    CDPlotScale(const CDPlotScale& other);
    CDPlotScale& operator=(const CDPlotScale& other);
    virtual ~CDPlotScale();

    void Draw(CDC* dc, CRect plotRect);

    // Empty: fixed notation with the scale digits. Else "TF_S", "TF_MS", "TF_HMS" or a printf format.
    CString m_strXFormat;
    CString m_strYFormat;
    int m_unused[13];
    CTrazel* m_pOwner;

protected:
    void DrawTicks(CDC* dc, CRect band, int vertical, CDPoint pixelsPerUnit, double start, double end, double step,
                   int width, int length, int side, COLORREF color);
    void DrawXScaleText(CDC* dc, CRect band, CDPoint pixelsPerUnit);
    void DrawYScaleText(CDC* dc, CRect band, CDPoint pixelsPerUnit);

private:
    CRect XBandOf(const CRect& plotRect) const;
    CRect YBandOf(const CRect& plotRect) const;
    CRect ScaleAreaOf(const CRect& plotRect) const;
    int XTextStandOff() const;
    int YTextStandOff() const;
    CString FormatOf(const CString& format, int digits) const;
};
