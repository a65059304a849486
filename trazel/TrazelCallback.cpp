#include "trazel/Trazel.h"

int CTrazelCallback::TZCB_DrawBehindGrid(CDC*, CRect, CDPlotArea*) { return 1; }
int CTrazelCallback::TZCB_DrawInFrontOfTraces(CDC*, CRect, CDPlotArea*) { return 1; }
int CTrazelCallback::TZCB_DrawExtraNonPlotArea(CDC*, CRect) { return 1; }
double CTrazelCallback::TZCB_GetPlotTime() { return 0.0; }
