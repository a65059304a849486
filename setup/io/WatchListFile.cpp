#include "setup/io/WatchListFile.h"

#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "setup/io/WatchDisplaySettings.h"
#include "setup/io/WatchRegisterList.h"

int CWatchListFile::Load(const char* path, CWatchRegisterList& list, CWatchDisplaySettings& settings,
                         CString& error)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        error.Format("Cannot open the watch list file %s.", path);
        return 0;
    }
    CDPropertyList bag;
    try {
        CArchive ar(&file, CArchive::load);
        bag.Serialize(ar);
        ar.Close();
    } catch (const std::exception&) {
        error.Format("The watch list file %s is damaged or not a watch list file.", path);
        return 0;
    }
    CWatchRegisterList loaded;
    CString problem;
    if (!loaded.LoadFromBag(bag, &problem)) {
        error.Format("The watch list file %s is damaged: %s", path, static_cast<const char*>(problem));
        return 0;
    }
    list = loaded;
    settings.LoadFromBag(bag);
    return 1;
}

int CWatchListFile::Save(const char* path, const CWatchRegisterList& list, const CWatchDisplaySettings& settings,
                         CString& error)
{
    CDPropertyList bag;
    settings.SaveToBag(bag);
    list.SaveToBag(bag);
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        error.Format("Cannot write the watch list file %s.", path);
        return 0;
    }
    CArchive ar(&file, CArchive::store);
    try {
        bag.Serialize(ar);
        ar.Close();
        file.Close();
    } catch (const std::exception&) {
        ar.Abort();
        file.Abort();
        error.Format("Cannot write the watch list file %s.", path);
        return 0;
    }
    return 1;
}
