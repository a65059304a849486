#include "BackupFilterMath.h"

#include "setup/tuning/FilterDesign.h"

bool SolveFilterFromCoefficients(int& type, const int coefficients[6], int guess, double fs, double args[4])
{
    FilterArguments solved;
    const int ok = CalcFilterArgsFromCoefficients(type, coefficients[0], coefficients[1], coefficients[2],
                                                  coefficients[3], coefficients[4], coefficients[5], guess, fs, solved);
    for (int i = 0; i < 4; ++i)
        args[i] = solved.arg[i];
    return ok != 0;
}

bool ReadDriveFilterType(CGlobalParameterTable& table, int drive, int filter, int& type)
{
    return GetDriveFilterType(table, filter, drive, type) != 0;
}

CString FilterTypeCode(int type) { return GetFilterTypeCode(type); }
