#include "GuiFrameServices.h"

#include <atomic>

namespace {
std::atomic<CGuiFrameServices*> g_services{nullptr};
}

void CGuiFrameServices::Install(CGuiFrameServices* services) { g_services = services; }

CGuiFrameServices* CGuiFrameServices::Get() { return g_services; }
