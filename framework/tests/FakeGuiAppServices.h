// Application services for window tests: the display flags and version gates
// of a test "kvfact.ini", a chosen program folder, warnings answered by the
// framework's scripted message box. Installed for its lifetime.
#pragma once

#include <string>

#include "framework/FactorySettings.h"
#include "framework/GuiAppServices.h"
#include "platform/ui/MsgBox.h"

class FakeGuiAppServices : public CGuiAppServices {
public:
    explicit FakeGuiAppServices(std::string factoryIni = {}, std::string programFolder = {})
        : m_factoryIni(std::move(factoryIni)), m_programFolder(std::move(programFolder))
    {
        m_previous = CGuiAppServices::Get();
        CGuiAppServices::Install(this);
    }
    ~FakeGuiAppServices() override { CGuiAppServices::Install(m_previous); }

    int GetModelDisplayFlags() const override { return ::GetModelDisplayFlags(m_factoryIni.c_str()); }
    double GetFunctionUnlockVersion(const char* function) const override
    {
        return ::GetFunctionUnlockVersion(m_factoryIni.c_str(), function);
    }
    CString GetProgramFolder() const override { return m_programFolder.c_str(); }
    int ShowWarningMessage(const char* key, BOOL question, const char* message, int /*suppressedAnswer*/) override
    {
        lastWarningKey = key;
        return AfxMessageBox(message, question ? MB_YESNO : MB_OK);
    }

    std::string m_factoryIni;
    std::string m_programFolder;
    std::string lastWarningKey;

private:
    CGuiAppServices* m_previous = nullptr;
};
