// One named value of a selector field.
#pragma once

#include "platform/core/String.h"

struct CQvxDatabaseTableSelectionItem {
    CString text;   // shown to the user
    LONG value = 0; // stored in the record
};
