// Seeded scramblers: they keep stored logins and firmware update files from
// casual reading. They are not encryption. Both directions draw from the
// platform's classic generator, so data scrambled by one build reads back only
// with the same generator.
#pragma once

#include "platform/core/List.h"
#include "platform/core/String.h"

// Each character becomes two symbols, so the output is twice as long.
int ScrambleString(int seed, const CString& text, CString& output);
// The inverse for the same seed. 0 and an empty output for text holding a
// character that no scramble can produce.
int UnscrambleString(int seed, const CString& text, CString& output);
// Appends the byte values 0 to 255 in an order given by the seed.
void MakeSeededPermutation(int seed, CList<int, int>& permutation);
// Copies the file through the seed's byte permutation (direction non-zero) or
// its inverse (direction 0). The output is replaced only when all was copied.
int ScrambleFile(const char* inputPath, const char* outputPath, int seed, int direction);
