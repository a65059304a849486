// CDPlotFrame: what lies around the scales: background, axis labels, border.
#pragma once

#include "platform/ui/DC.h"

class CTrazel;

class CDPlotFrame {
public:
    explicit CDPlotFrame(CTrazel* owner) : m_pOwner(owner) {}

    void Draw(CDC* dc, CRect whole);

    CTrazel* m_pOwner;

private:
    void DrawXLabel(CDC* dc, const CRect& whole);
    void DrawYLabel(CDC* dc, const CRect& whole);
    // The scales and their margins: the whole rectangle less the outer margins.
    CRect ScaleAreaOf(const CRect& whole) const;
};
