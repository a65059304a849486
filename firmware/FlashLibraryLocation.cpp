#include "FlashLibraryLocation.h"

#include <vector>

#include "platform/core/File.h"

namespace {
std::vector<CString> CandidateFolders(CString programFolder)
{
    programFolder.TrimRight('/');
    return {programFolder, programFolder + "/../lib"};
}
}  // namespace

CString LocateFlashUpdateLibrary(const CString& name, const CString& programFolder)
{
    if (name.IsEmpty())
        return CString();
    if (name.Find('/') >= 0)
        return CFile::Exists(name) ? name : CString();
    for (const CString& folder : CandidateFolders(programFolder))
        if (CFile::Exists(folder + "/" + name))
            return folder + "/" + name;
    return CString();
}

CString FlashUpdateLibraryFolders(const CString& programFolder)
{
    CString list;
    for (const CString& folder : CandidateFolders(programFolder))
        list += (list.IsEmpty() ? "" : ", ") + folder;
    return list;
}
