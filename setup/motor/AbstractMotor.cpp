#include "setup/motor/AbstractMotor.h"

#include <cmath>

CAbstractMotor::CAbstractMotor(int poleValue, int counts, int lineValue, int cycles)
    : m_poleValue(poleValue), m_cycles(cycles), m_lineValue(lineValue), m_counts(counts)
{
    m_presets.Add(new CPolesLinesHelper(2, 1000.0));
    m_presets.Add(new CPolesLinesHelper(5000, 500.0));
    m_presets.Add(new CPolesLinesHelper(poleValue, lineValue));
}

CAbstractMotor::~CAbstractMotor()
{
    for (INT_PTR i = 0; i < m_presets.GetSize(); ++i)
        delete m_presets[i];
}

DWORD CAbstractMotor::ScalingForCounts(int counts)
{
    if (counts <= 0)
        return 0;
    // Computed in double and converted unsigned: counts 1 and 2 exceed INT_MAX.
    return static_cast<DWORD>(std::floor(4294967295.0 / counts + 0.5));
}

int CAbstractMotor::UpdateCounts()
{
    m_counts = ComputeCounts(m_poleValue, m_lineValue);
    return m_counts;
}

double CAbstractMotor::UpdateCountsPerCycle()
{
    ComputeCycles();
    m_countsPerCycle = (m_counts >= 1 && m_cycles != 0) ? static_cast<double>(m_counts) / m_cycles : 1.0;
    return m_countsPerCycle;
}

void CAbstractMotor::RestoreFrom(int index)
{
    m_poleValue = m_presets[index]->m_poleValue;
    m_lineValue = m_presets[index]->m_lineValue;
}

void CAbstractMotor::SaveCurrent()
{
    m_presets[kSavedValues]->m_poleValue = m_poleValue;
    m_presets[kSavedValues]->m_lineValue = m_lineValue;
}

void CAbstractMotor::SwitchMotorKind(int driveKind, int selectedKind)
{
    if ((driveKind == 0 || driveKind == 1) && driveKind == selectedKind) {
        RestoreFrom(kSavedValues);
    } else if (driveKind == 0 && selectedKind == 1) {
        SaveCurrent();
        RestoreFrom(kLinearDefaults);
    } else if (driveKind == 1 && selectedKind == 0) {
        SaveCurrent();
        RestoreFrom(kRotaryDefaults);
    }
}

bool CAbstractMotor::RecomputeAndCheck(int kind)
{
    if (m_poleValue <= 0 || !(m_lineValue > 0))
        return false;
    UpdateCounts();
    ComputeScaling(kind, 1);
    ComputeCycles();
    return m_counts > 0 && m_scaling > 0 && m_cycles > 0;
}
