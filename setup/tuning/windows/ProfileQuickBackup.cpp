#include "setup/tuning/windows/ProfileQuickBackup.h"

#include "platform/core/Archive.h"
#include "platform/core/File.h"

namespace {

bool StepIsValid(const CQvxMoveBuilderStep& step)
{
    return step.m_controlType >= kControlCurrent && step.m_controlType <= kControlPosition &&
           step.m_triggerType >= kTriggerTime && step.m_triggerType <= kTriggerDigitalInput &&
           step.m_action >= kActionStopDisable && step.m_action <= kActionNextStep;
}

bool ProfileIsValid(const CQvxMoveBuilderStepArray& profile)
{
    if (profile.GetSize() > kProfileMaxSteps)
        return false;
    for (const CQvxMoveBuilderStep& step : profile)
        if (!StepIsValid(step))
            return false;
    return true;
}

}  // namespace

bool CProfileQuickBackup::Write(const CString& path, const CQvxMoveBuilderStepArray& working,
                                const std::vector<const CQvxMoveBuilderStepArray*>& drives, CString& error)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        error = "The file " + path + " could not be written.";
        return false;
    }
    try {
        CArchive archive(&file, CArchive::store);
        archive << static_cast<int>(drives.size());
        CQvxMoveBuilderStepArray copy(working);
        copy.Serialize(archive);
        for (const CQvxMoveBuilderStepArray* profile : drives) {
            CQvxMoveBuilderStepArray drive(*profile);
            drive.Serialize(archive);
        }
        archive.Close();
        file.Close();
    } catch (CException& e) {
        file.Abort();
        error = "The file " + path + " could not be written.";
        return false;
    }
    return true;
}

bool CProfileQuickBackup::Read(const CString& path, CQvxMoveBuilderStepArray& working,
                               std::vector<CQvxMoveBuilderStepArray>& drives, int maxProfiles, CString& error)
{
    error = "The file " + path + " is not a profile backup; nothing was loaded.";
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        error = "The file " + path + " could not be read.";
        return false;
    }
    CQvxMoveBuilderStepArray readWorking(working.m_window);
    std::vector<CQvxMoveBuilderStepArray> readDrives;
    try {
        CArchive archive(&file, CArchive::load);
        int count = 0;
        archive >> count;
        if (count < 0 || count > 16)
            return false;
        readWorking.Serialize(archive);
        for (int i = 0; i < count; ++i) {
            readDrives.emplace_back(working.m_window);
            readDrives.back().Serialize(archive);
        }
    } catch (CException&) {
        return false;
    }
    if (!ProfileIsValid(readWorking))
        return false;
    for (const CQvxMoveBuilderStepArray& profile : readDrives)
        if (!ProfileIsValid(profile))
            return false;
    // Profiles beyond what this drive offers are left out.
    if (static_cast<int>(readDrives.size()) > maxProfiles)
        readDrives.resize(static_cast<size_t>(maxProfiles));
    working = readWorking;
    drives = std::move(readDrives);
    error.Empty();
    return true;
}

CString CProfileQuickBackup::SafeFileName(const CString& name)
{
    CString safe = name;
    for (int i = 0; i < safe.GetLength(); ++i) {
        const char c = safe[i];
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|' || static_cast<unsigned char>(c) < 32)
            safe.SetAt(i, '_');
    }
    return safe;
}
