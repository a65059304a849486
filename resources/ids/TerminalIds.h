// The Terminal window (resources/tools.dlg).
#pragma once
#include "resources/ids/IdList.h"

KV_IDS_BEGIN(TerminalIds)
KV_ID(IDD_TERMINAL, 327)
KV_ID(IDC_TERMINAL_RESPONSE, 2295)
KV_ID(IDC_TERMINAL_COMMAND, 2214)
KV_ID(IDC_TERMINAL_SEND, 2311)
KV_IDS_END
