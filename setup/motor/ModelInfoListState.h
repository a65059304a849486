// What the model information list window remembers between the user's
// actions: changed model rows and offsets not yet saved to memory, the
// balancing display that follows the drive's status bit 11, and the
// questions asked before the window closes.
#pragma once

#include <functional>
#include <optional>

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

struct BalanceDisplay {
    bool balancing = false;
    const char* buttonText = "Balance";
    COLORREF buttonFace = 0xBEBEBE;
    COLORREF buttonFaceOff = 0xBEBEBE;
    COLORREF buttonTextColour = 0;
    bool buttonBlinks = false;
    const char* statusText = "Completed";
    COLORREF statusColour = 0x006000;
    bool statusBlinks = false;
};

class CModelInfoListState {
public:
    static constexpr long kBalancingBit = 0x800;
    static constexpr const char* kOffsetKey = "OFFSET";

    // A changed row of the list: offsets or model data.
    void OnRowChanged(const CString& key, bool changed);
    // The list's rows went to the drive: changed model data now waits for a save.
    void OnSent();
    void OnBalanceStarted() { m_offsetsUnsaved = true; }
    void OnModelSaved() { m_modelUnsaved = false; }
    void OnOffsetsSaved() { m_offsetsUnsaved = false; }

    // The display for a new status word; none while bit 11 keeps its state.
    std::optional<BalanceDisplay> OnStatusWord(long statusWord);
    static BalanceDisplay Display(bool balancing);

    // The close questions in order; `ask` shows a box and returns the answer
    // (IDYES, IDNO, IDCANCEL), the two savers do the saves with their
    // messages. True when the window may close.
    struct CloseActions {
        std::function<int(const char* text, UINT type)> ask;
        std::function<void()> saveModel;
        std::function<void()> saveOffsets;
    };
    bool AskBeforeClose(bool unsentRows, const CloseActions& actions);

    bool HasModelChanges() const { return m_modelChanges; }
    bool IsModelUnsaved() const { return m_modelUnsaved; }
    bool AreOffsetsUnsaved() const { return m_offsetsUnsaved; }

private:
    bool m_modelChanges = false;
    bool m_modelUnsaved = false;
    bool m_offsetsUnsaved = false;
    bool m_lastBalancing = false;
};
