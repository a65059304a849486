// CProfileQuickBackup: the profile generator's own backup file: the number of
// drive profiles (32-bit), the working profile, then each drive profile, every
// one in the step array's archive form.
#pragma once

#include <vector>

#include "platform/core/String.h"
#include "setup/tuning/QvxMoveBuilderStepArray.h"

class CProfileQuickBackup {
public:
    // Written whole or not at all; false with a message otherwise.
    static bool Write(const CString& path, const CQvxMoveBuilderStepArray& working,
                      const std::vector<const CQvxMoveBuilderStepArray*>& drives, CString& error);
    // Reads into the arrays only once the whole file has been read and checked:
    // at most `maxProfiles` drive profiles, at most 16 steps each, every code in its table.
    static bool Read(const CString& path, CQvxMoveBuilderStepArray& working,
                     std::vector<CQvxMoveBuilderStepArray>& drives, int maxProfiles, CString& error);
    // The drive name with every character a file name cannot hold replaced by '_'.
    static CString SafeFileName(const CString& name);
};
