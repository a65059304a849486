// The typed text form of drive commands: one or two mnemonics of one to three
// letters, each optionally followed by a value in decimal or in "$" hexadecimal,
// e.g. "ABC", "ABC 100", "ABC $1F", "XYZ 3 ABC -5".
#pragma once

#include "comm/protocol/CompoundAmpMsg.h"

// Sets the message's code, value and width and appends at most one
// sub-command (the first of two commands). Returns 1 on success and 0 on a
// syntax error, which leaves the message as it was. The address and the flag
// byte are not touched: callers strip an "@n:" prefix themselves.
int ParseAmpCommandText(CCompoundAmpMsg& message, const char* text);
