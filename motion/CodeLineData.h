// A place in a motion program: its line number and the file position after it.
#pragma once

#include "platform/core/List.h"
#include "platform/core/Map.h"

struct CODELINE_DATA {
    int Line = 0;
    ULONGLONG Position = 0;
};

using CCodeBlockMap = CMap<int, int, CODELINE_DATA, const CODELINE_DATA&>;
using CCodeLineQ = CList<CODELINE_DATA>;
