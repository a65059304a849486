// libFuzzer target for the scope source catalogue of the factory settings file:
// any bytes read as that file and the sources of a drive not connected listed.
// Checked: no crash, no hang (a count the file claims is bounded), and every
// source listed has a name.
#include <cstdint>
#include <cstdlib>

#include "platform/core/String.h"
#include "scope/ScopeDriveServices.h"
#include "scope/ScopeSourceCatalogue.h"
#include "scope/ScopeSourceQueryDataList.h"
#include "testing/FuzzInputFile.h"

namespace {

class CFileOnlyServices : public CScopeDriveServices {
public:
    bool IsDriveConnected(int) override { return false; }
    bool GetConversionParameter(int, int, double&) override { return false; }
    bool HasConversionParameter(int, int) override { return false; }
    void ShowMessage(const char*) override {}
    CString GetFactorySettingsPath() override { return m_path; }

    CString m_path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    CFileOnlyServices services;
    services.m_path = input.Put(data, size);
    CScopeSourceQueryDataList list;
    if (!BuildDriveScopeSourceList(list, 1, services))
        std::abort();  // a drive not connected always has its catalogue
    return 0;
}
