#include "firmware/FirmwareProgramProcessorData.h"

CString FirmwareCpuName(int cpu)
{
    switch (cpu) {
    case kCpu1: return "CPU1";
    case kCpu2: return "CPU2";
    case kCpuCm: return "CM";
    default: return CString();
    }
}

CString CFirmwareProgramProcessorData::GetKernel(int kernelNumber, int cpu) const
{
    CString name;
    m_kernels.Lookup(KernelKey(kernelNumber, cpu), name);
    return name;
}
