// CFirmwareProgramProcessorData: one processor type of the parts list: its
// flash-update library, special flags and kernel files.
#pragma once

#include "platform/core/Map.h"
#include "platform/core/String.h"

// CPU codes of the parts list.
enum FirmwareCpu : int { kCpu1 = 1, kCpu2 = 2, kCpuCm = 3 };

// Special flags, by bit value.
enum FirmwareSpecialFlags : int {
    kSecondCpu1KernelBeforeCm = 1,
    kCpu2KernelWithoutAutoBaud = 2,
    kCpu1FirmwareFlag8 = 4,
    kProgramThroughLibrary = 8,
};

// "CPU1", "CPU2", "CM"; empty for another code.
CString FirmwareCpuName(int cpu);

class CFirmwareProgramProcessorData {
public:
    virtual ~CFirmwareProgramProcessorData() = default;

    static int KernelKey(int kernelNumber, int cpu) { return (kernelNumber - 1) * 256 + cpu; }
    // The kernel file name, empty when the processor has none.
    CString GetKernel(int kernelNumber, int cpu) const;
    bool HasFirstKernel(int cpu) const { return !GetKernel(1, cpu).IsEmpty(); }

    CString m_name;
    CString m_libraryPath;
    int m_specialFlags = 0;
    CMap<int, int, CString, const CString&> m_kernels;
};
