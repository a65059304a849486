// The filter design's recovery of a filter from its coefficients, in plain
// types: the backup engine's computations and the filter design each name a
// struct FilterArguments, so no file may see both.
#pragma once

#include "platform/core/String.h"

class CGlobalParameterTable;

// coefficients: NegA1, NegA2, B0, B1, B2, Shift. type in: the drive's type; out: the one found.
bool SolveFilterFromCoefficients(int& type, const int coefficients[6], int guess, double fs, double args[4]);
bool ReadDriveFilterType(CGlobalParameterTable& table, int drive, int filter, int& type);
CString FilterTypeCode(int type);
