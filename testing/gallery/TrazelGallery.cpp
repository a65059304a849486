// The time plot in the gallery, drawn in a window as the scope windows will.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/Wnd.h"
#include "trazel/Trazel.h"

namespace {

class CPlotWindow : public CWnd {
public:
    CTrazel m_plot;

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        m_plot.Draw(&dc, client, client);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlotWindow, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

}  // namespace

void ShowPlot(GalleryShots& shots)
{
    CPlotWindow window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, "Plot", WS_POPUP | WS_VISIBLE, CRect(0, 0, 480, 300), nullptr, 0));
    window.m_plot.AddTrace(4);
    const COLORREF colours[] = {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 128, 0), RGB(255, 0, 255)};
    for (int id = 0; id < 4; ++id)
        window.m_plot.SetTraceColor(id, colours[id]);
    shots.Take(&window, "design mode");
    window.m_plot.m_nXAxisSide = 0;
    window.m_plot.m_nYAxisSide = 1;
    window.Invalidate();
    shots.Take(&window, "scales above and right");
    window.DestroyWindow();
}
