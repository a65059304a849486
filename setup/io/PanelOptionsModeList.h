// CPanelOptionsModeList: the control panel's command modes, 12 entries of
// which 1 (velocity), 2 (current) and 3 (position) are used. It owns them.
#pragma once

#include <functional>

#include "platform/core/Array.h"
#include "platform/core/String.h"
#include "setup/io/PanelOptionsMode.h"

class CPanelOptionsModeList : public CArray<CPanelOptionsMode*, CPanelOptionsMode*> {
public:
    CPanelOptionsModeList();
    ~CPanelOptionsModeList() override;
    CPanelOptionsModeList(const CPanelOptionsModeList&) = delete;
    CPanelOptionsModeList& operator=(const CPanelOptionsModeList&) = delete;

    // Throws std::out_of_range for an index outside the list.
    CPanelOptionsMode* GetMode(int entry) const;
    // Frees entries 1 to 3 and creates them anew with the built-in defaults.
    void BuildDefaults();
    void FreeModes();

    // The key of a key number ("" for an unused slot).
    static const char* KeyName(int keyNumber);
    static const char* ModeName(int entry);
    static const char* OptionName(int which);
};
