// CMapProcessorToFirmwareProgramProcessorData: processor name to its record; owns the records.
#pragma once

#include "firmware/FirmwareProgramProcessorData.h"
#include "firmware/OwnedRecordMap.h"

class CMapProcessorToFirmwareProgramProcessorData
    : public COwnedRecordMap<CFirmwareProgramProcessorData, &CFirmwareProgramProcessorData::m_name> {};
