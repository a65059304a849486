#include "firmware/MapPartNumToFirmwareProgramPartData.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/core/IniFile.h"

const char* const kFactoryKernelFolder = "FactoryFlashUpdateSupportFiles";

namespace {

const char* const kGeneralSection = "General Settings";
const char* const kProcessorPrefix = "TI/";
constexpr int kCpus[] = {kCpu1, kCpu2, kCpuCm};
// The parts list of a factory easily outgrows a small buffer of section names.
constexpr DWORD kSectionNamesSize = 1 << 20;
constexpr DWORD kValueSize = 1001;

CString ReadValue(const CString& path, const char* section, const char* key, const char* fallback)
{
    std::vector<char> buffer(kValueSize);
    GetPrivateProfileString(section, key, fallback, buffer.data(), kValueSize, path);
    return buffer.data();
}

std::vector<CString> SectionNames(const CString& path)
{
    std::vector<char> buffer(kSectionNamesSize);
    const DWORD length = GetPrivateProfileSectionNames(buffer.data(), kSectionNamesSize, path);
    std::vector<CString> names;
    for (DWORD at = 0; at < length && buffer[at];) {
        const CString name = buffer.data() + at;
        names.push_back(name);
        at += static_cast<DWORD>(name.GetLength()) + 1;
    }
    return names;
}

bool FileExists(const CString& path)
{
    std::error_code error;
    return !path.IsEmpty() && std::filesystem::is_regular_file(path.GetString(), error);
}

long long FileSize(const CString& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path.GetString(), error);
    return error ? -1 : static_cast<long long>(size);
}

CString KernelKeyName(int kernelNumber, int cpu)
{
    CString key = "KERNEL";
    if (kernelNumber > 1)
        key.AppendFormat("%d", kernelNumber);
    return key + "_" + FirmwareCpuName(cpu);
}

}  // namespace

std::vector<CString> CMapPartNumToFirmwareProgramPartData::GetSortedPartNumbers() const
{
    std::vector<CString> numbers = GetNames();
    std::sort(numbers.begin(), numbers.end(), [](const CString& a, const CString& b) { return a.Compare(b) < 0; });
    return numbers;
}

CString CMapPartNumToFirmwareProgramPartData::KernelPath(const CString& programFolder, const CString& kernelName)
{
    CString folder = programFolder;
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder + kFactoryKernelFolder + "/" + kernelName;
}

long long CMapPartNumToFirmwareProgramPartData::GetTotalFileSize(const CFirmwareProgramPartData& part,
                                                                 const CString& programFolder) const
{
    long long kernels = 0;
    if (const CFirmwareProgramProcessorData* processor = m_processors.Find(part.m_processorName)) {
        for (auto [key, name] : processor->m_kernels) {
            const long long size = FileSize(KernelPath(programFolder, name));
            if (size < 0) {
                kernels = -1;
                break;
            }
            kernels += size;
        }
    }
    long long firmware = 0;
    for (int cpu : part.m_selectedCpus) {
        const long long size = FileSize(part.GetFirmwareFile(cpu));
        if (size < 0) {
            firmware = -1;
            break;
        }
        firmware += size;
    }
    return kernels + firmware;
}

bool CMapPartNumToFirmwareProgramPartData::ReadPartsList(const CString& path)
{
    m_error.Empty();
    DeleteAll();
    m_processors.DeleteAll();
    if (!FileExists(path)) {
        m_error.Format("ERROR: Could not fine ini file \"%s\".", path.GetString());
        return false;
    }
    const std::vector<CString> sections = SectionNames(path);
    if (sections.empty()) {
        m_error.Format("ERROR: Invalid ini file \"%s\".", path.GetString());
        return false;
    }
    m_allowFileSelect = ReadValue(path, kGeneralSection, "ALLOW_FILE_SELECT", "false").CompareNoCase("YES") == 0;
    for (const CString& section : sections) {
        if (section.CompareNoCase(kGeneralSection) == 0)
            continue;
        const bool ok = section.Left(3).CompareNoCase(kProcessorPrefix) == 0 ? ReadProcessor(path, section)
                                                                              : ReadPart(path, section);
        if (!ok)
            return false;
    }
    return true;
}

bool CMapPartNumToFirmwareProgramPartData::ReadProcessor(const CString& path, const CString& section)
{
    CFirmwareProgramProcessorData* processor = m_processors.GetOrCreate(section.Mid(3));
    processor->m_specialFlags = atoi(ReadValue(path, section, "SPECIAL_FLAGS", "0"));
    processor->m_libraryPath = ReadValue(path, section, "DRIVER_DLL", "");
    for (int kernel : {1, 2}) {
        for (int cpu : kCpus) {
            const CString name = ReadValue(path, section, KernelKeyName(kernel, cpu), "");
            if (!name.IsEmpty())
                processor->m_kernels[CFirmwareProgramProcessorData::KernelKey(kernel, cpu)] = name;
        }
    }
    return true;
}

bool CMapPartNumToFirmwareProgramPartData::ReadPart(const CString& path, const CString& section)
{
    CFirmwareProgramPartData* part = GetOrCreatePart(section);
    part->m_processorName = ReadValue(path, section, "PROCESSOR_TYPE", "");
    for (int cpu : kCpus) {
        CString value = ReadValue(path, section, FirmwareCpuName(cpu), "");
        value.Trim();
        if (value.IsEmpty())
            continue;
        const char mark = value.GetAt(0);
        if (mark != '+' && mark != '-') {
            m_error.Format("ERROR: + or - expected in [%s] %s.", section.GetString(), FirmwareCpuName(cpu).GetString());
            return false;
        }
        part->SetSelected(cpu, mark == '+');
        CString file = value.Mid(1);
        file.Trim();
        if (FileExists(file)) {
            part->SetFirmwareFile(cpu, file);
        } else {
            part->m_firmwareFiles[cpu] = kPleaseSelectFile;
            part->m_missingFiles[cpu] = file;
        }
    }
    return true;
}

bool CMapPartNumToFirmwareProgramPartData::WritePartsList(const CString& path)
{
    m_error.Empty();
    if (!FileExists(path)) {
        m_error.Format("ERROR: Could not find ini file \"%s\".", path.GetString());
        return false;
    }
    // Every key is written into a copy, which then replaces the list at once.
    const std::string target = path.GetString();
    const std::string copy = target + ".saving";
    std::error_code error;
    std::filesystem::copy_file(target, copy, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        m_error.Format("File write error for ini file \"%s\".", path.GetString());
        return false;
    }
    const bool written = WriteParts(copy.c_str(), path);
    if (written)
        std::filesystem::rename(copy, target, error);
    if (!written || error) {
        std::filesystem::remove(copy, error);
        if (m_error.IsEmpty())
            m_error.Format("File write error for ini file \"%s\".", path.GetString());
        return false;
    }
    return true;
}

bool CMapPartNumToFirmwareProgramPartData::WriteParts(const CString& copy, const CString& path)
{
    for (const CString& number : GetSortedPartNumbers()) {
        const CFirmwareProgramPartData* part = FindPart(number);
        const CFirmwareProgramProcessorData* processor = m_processors.Find(part->m_processorName);
        if (!processor) {
            m_error.Format("Part=%s, has undefined processor: \"%s\".", number.GetString(),
                           part->m_processorName.GetString());
            return false;
        }
        if (!WritePrivateProfileString(number, "PROCESSOR_TYPE", part->m_processorName, copy)) {
            m_error.Format("Entry for Device=%s, CPU=%s not found in file \"%s\".", number.GetString(),
                           part->m_processorName.GetString(), path.GetString());
            return false;
        }
        for (int cpu : kCpus) {
            CString shown;
            if (!processor->HasFirstKernel(cpu) || !part->m_firmwareFiles.Lookup(cpu, shown))
                continue;
            const CString value = CString(part->IsSelected(cpu) ? "+" : "-") + part->GetStoredFirmwareFile(cpu);
            if (!WritePrivateProfileString(number, FirmwareCpuName(cpu), value, copy)) {
                m_error.Format("File write error for ini file \"%s\".", path.GetString());
                return false;
            }
        }
    }
    return true;
}
