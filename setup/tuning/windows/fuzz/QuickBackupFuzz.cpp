// libFuzzer target for the profile generator's quick backup file: any bytes read
// as one, and what was read written and read again. Checked: no crash, no hang,
// a refused file leaves the profiles as they were, and a file read back gives
// the same bytes when written again.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "setup/tuning/windows/ProfileQuickBackup.h"
#include "testing/FuzzInputFile.h"

namespace {

constexpr int kMaxProfiles = 8;

std::string Written(const std::string& path, const CQvxMoveBuilderStepArray& working,
                    const std::vector<CQvxMoveBuilderStepArray>& drives)
{
    std::vector<const CQvxMoveBuilderStepArray*> pointers;
    for (const CQvxMoveBuilderStepArray& drive : drives)
        pointers.push_back(&drive);
    CString error;
    if (!CProfileQuickBackup::Write(path.c_str(), working, pointers, error))
        std::abort();
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static const FuzzScratchFile scratch("QuickBackupFuzz.bk");
    const std::string& copy = scratch.Path();
    CQvxMoveBuilderStepArray working;
    std::vector<CQvxMoveBuilderStepArray> drives(1);
    CString error;
    if (!CProfileQuickBackup::Read(input.Put(data, size), working, drives, kMaxProfiles, error)) {
        if (working.GetSize() != 0 || drives.size() != 1 || drives[0].GetSize() != 0 || error.IsEmpty())
            std::abort();
        return 0;
    }
    const std::string first = Written(copy, working, drives);
    CQvxMoveBuilderStepArray workingAgain;
    std::vector<CQvxMoveBuilderStepArray> drivesAgain;
    if (!CProfileQuickBackup::Read(copy.c_str(), workingAgain, drivesAgain, kMaxProfiles, error) ||
        Written(copy, workingAgain, drivesAgain) != first)
        std::abort();
    return 0;
}
