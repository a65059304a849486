#include "HelpContext.h"

#include <atomic>

namespace {
std::atomic<SHORT> g_override{-1};
}

void AfxSetHelpContextOverride(SHORT context) { g_override = context; }
SHORT AfxGetHelpContextOverride() { return g_override; }
