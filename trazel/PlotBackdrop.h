// CPlotBackdrop: a plot's frame and scales, drawn once into an image of their
// own and copied from it until they change. Their texts are most of the cost of
// a picture whose traces alone move.
#pragma once

#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "trazel/PlotLook.h"

class CPlotBackdrop {
public:
    CPlotBackdrop() = default;
    ~CPlotBackdrop();
    CPlotBackdrop(const CPlotBackdrop&) = delete;
    CPlotBackdrop& operator=(const CPlotBackdrop&) = delete;

    // Puts the frame and scales of `whole` into dc within `part`: copied from
    // the image, drawn into it first when the plot's settings changed, or drawn
    // straight into dc when there is no image.
    void DrawInto(CTrazel& plot, CDC* dc, const CRect& whole, const CRect& plotRect, const CRect& part);
    // The next drawing makes the image anew.
    void Forget() { m_look.Forget(); }

private:
    bool PrepareImage(CDC* like, const CRect& whole);
    static void DrawFrameAndScales(CTrazel& plot, CDC* dc, const CRect& whole, const CRect& plotRect);

    CPlotLook m_look;
    CDC m_dc;
    CBitmap m_bitmap;
    CSize m_size{0, 0};
    bool m_valid = false;
};
