#include "setup/motor/ModelInfoListState.h"

#include "platform/core/MessageBox.h"


void CModelInfoListState::OnRowChanged(const CString& key, bool changed)
{
    if (!changed)
        return;
    if (key == kOffsetKey)
        m_offsetsUnsaved = true;
    else
        m_modelChanges = true;
}

void CModelInfoListState::OnSent()
{
    if (!m_modelChanges)
        return;
    m_modelChanges = false;
    m_modelUnsaved = true;
}

BalanceDisplay CModelInfoListState::Display(bool balancing)
{
    BalanceDisplay display;
    display.balancing = balancing;
    if (balancing) {
        display.buttonText = "Balancing...";
        display.buttonFace = 0x0000FF;
        display.buttonFaceOff = 0x000040;
        display.buttonTextColour = 0xFFFFFF;
        display.buttonBlinks = true;
        display.statusText = "Balancing...";
        display.statusColour = 0x00C400;
        display.statusBlinks = true;
    }
    return display;
}

std::optional<BalanceDisplay> CModelInfoListState::OnStatusWord(long statusWord)
{
    const bool balancing = (statusWord & kBalancingBit) != 0;
    if (m_lastBalancing == balancing)
        return std::nullopt;
    m_lastBalancing = balancing;
    return Display(balancing);
}

bool CModelInfoListState::AskBeforeClose(bool unsentRows, const CloseActions& actions)
{
    if (unsentRows && actions.ask("Changes have not been sent to the drive.  Abandon changes?", MB_YESNO) == IDNO)
        return false;
    if (m_modelUnsaved) {
        const int answer = actions.ask("Model Info has not been saved to NVM.  Save now?", MB_YESNOCANCEL);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDYES)
            actions.saveModel();
    }
    if (m_offsetsUnsaved) {
        const int answer = actions.ask("Offsets have not been saved to NVM.  Save now?", MB_YESNOCANCEL);
        if (answer == IDCANCEL)
            return false;
        if (answer == IDYES)
            actions.saveOffsets();
    }
    return true;
}
