// libFuzzer target for the trace archive of a plot: any bytes loaded into a
// plot's traces, a few points added to each and the plot drawn into a small
// image, then stored and loaded again. Checked: no crash, no hang, a refused
// archive leaves the traces as they were, the loaded traces belong to the plot
// and have ids of their own, and a loaded plot survives its own round trip.
#include <cstdint>
#include <cstdlib>
#include <set>

#include "platform/core/Archive.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/WinApp.h"
#include "testing/FuzzInputFile.h"
#include "trazel/PlotTrace.h"
#include "trazel/Trazel.h"

namespace {

bool Load(CTrazel& plot, FuzzInputFile& file)
{
    return LoadFuzzArchive(file, [&](CArchive& ar) { plot.m_pPlotArea->Serialize(ar); });
}

std::set<int> CheckedIds(CTrazel& plot)
{
    std::set<int> ids;
    CList<CPlotTrace*, CPlotTrace*>& traces = plot.m_pPlotArea->m_traces;
    for (POSITION pos = traces.GetHeadPosition(); pos;) {
        CPlotTrace* trace = traces.GetNext(pos);
        if (trace->m_pArea != plot.m_pPlotArea || !ids.insert(trace->m_id).second)
            std::abort();
    }
    return ids;
}

void Draw(CTrazel& plot, const std::set<int>& ids)
{
    for (int id : ids) {
        plot.PlotPoint(id, 0.5, 1.0);
        plot.PlotPoint(id, 2.0, -3.0);
    }
    CBitmap bitmap;
    CDC dc;
    if (!bitmap.CreateCompatibleBitmap(nullptr, 160, 120))
        std::abort();
    dc.CreateCompatibleDC(nullptr);
    CBitmap* old = dc.SelectObject(&bitmap);
    const CRect whole(0, 0, 160, 120);
    plot.Draw(&dc, whole, whole);
    dc.SelectObject(old);
}

}  // namespace

// The font library keeps its cache until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    AfxWinInit();
    // The fonts are loaded once, here, so the first input is not blamed for what they keep.
    CTrazel plot;
    plot.AddTrace(-1);
    Draw(plot, {0});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static FuzzInputFile copy;
    input.Put(data, size);
    CTrazel plot;
    plot.AddTrace(-1);
    if (!Load(plot, input)) {
        if (plot.m_pPlotArea->m_traces.GetCount() != 1 || !plot.m_pPlotArea->GetTracePtr(0, 0))
            std::abort();
        return 0;
    }
    const std::set<int> ids = CheckedIds(plot);
    StoreFuzzArchive(copy, [&](CArchive& ar) { plot.m_pPlotArea->Serialize(ar); });
    CTrazel again;
    if (!Load(again, copy) || CheckedIds(again) != ids)
        std::abort();
    Draw(plot, ids);
    return 0;
}
