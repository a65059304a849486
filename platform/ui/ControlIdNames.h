// The named dialog and control ids of resources/ids/*Ids.h, for the dialog
// template loader: a template writes the names the code uses.
#pragma once

#include "platform/core/String.h"

namespace kvui {
// The number of a named id; false when no id list has the name.
bool LookUpControlIdName(const CString& name, int& value);
// Names given two different numbers by two id lists, one line each; empty when there are none.
CString ControlIdNameClashes();
}  // namespace kvui
