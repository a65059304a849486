// Writes a bitmap as a GIF file (256 colours, quantised), through a temporary
// file renamed over the target.
#pragma once

#include "platform/ui/Bitmap.h"

BOOL WriteGifFile(const CBitmap& bitmap, const char* path);
