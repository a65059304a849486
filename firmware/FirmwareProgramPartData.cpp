#include "firmware/FirmwareProgramPartData.h"

const char* const kPleaseSelectFile = "<please select file>";

void CFirmwareProgramPartData::SetSelected(int cpu, bool selected)
{
    const POSITION pos = m_selectedCpus.Find(cpu);
    if (selected && !pos)
        m_selectedCpus.AddTail(cpu);
    else if (!selected && pos)
        m_selectedCpus.RemoveAt(pos);
}

CString CFirmwareProgramPartData::GetFirmwareFile(int cpu) const
{
    CString path;
    m_firmwareFiles.Lookup(cpu, path);
    return path;
}

CString CFirmwareProgramPartData::GetStoredFirmwareFile(int cpu) const
{
    CString path;
    if (m_missingFiles.Lookup(cpu, path))
        return path;
    return GetFirmwareFile(cpu);
}

void CFirmwareProgramPartData::SetFirmwareFile(int cpu, const CString& path)
{
    m_firmwareFiles[cpu] = path;
    m_missingFiles.RemoveKey(cpu);
}
