// CPanelOptionsSettings: the control panel limits in the user settings file
// and their validation, apart from the options dialog that shows them.
#pragma once

#include <functional>

#include "platform/core/String.h"

class CPanelOptionsModeList;
struct CPanelOption;

class CPanelOptionsSettings {
public:
    static const char* const kSection;

    // Reads every option of entries 1 to 3; a missing key keeps the value.
    static void Load(CPanelOptionsModeList& modes, const char* iniPath);
    static void LoadOption(CPanelOption& option, const char* iniPath);
    // The text of an option as the user typed it.
    using TextOf = std::function<CString(const CPanelOption&)>;
    // 1 when all three modes pass; else 0 with the first message.
    static int Validate(const CPanelOptionsModeList& modes, const TextOf& textOf, CString& message);
    // Writes the typed text only when its number differs; 1 when it did.
    static int SaveOption(CPanelOption& option, const char* text, const char* iniPath);
    // The option's value as its edit shows it.
    static CString ShowText(const CPanelOption& option);
};
