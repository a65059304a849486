// Private to the window layer: a dialog template laid out in memory, read into the text form's record.
#pragma once

#include <cstddef>

#include "DialogTemplate.h"

bool ReadBinaryDialogTemplate(const void* data, size_t size, DialogTemplate& result, CString& error);
