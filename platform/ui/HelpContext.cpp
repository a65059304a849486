#include "HelpContext.h"

#include <atomic>

namespace {
std::atomic<SHORT> g_override{-1};
std::atomic<HelpRequestHandler> g_helpHandler{nullptr};
}  // namespace

void AfxSetHelpContextOverride(SHORT context) { g_override = context; }
SHORT AfxGetHelpContextOverride() { return g_override; }

void AfxSetHelpRequestHandler(HelpRequestHandler handler) { g_helpHandler = handler; }

BOOL AfxRequestHelp(UINT helpId)
{
    const HelpRequestHandler handler = g_helpHandler;
    if (!handler)
        return FALSE;
    handler(helpId);
    return TRUE;
}
