// CScopeWindowServices: the program's answers to the scope's questions about
// the drives: connected drives from the link's services, conversion parameters
// from the window's parameter table, boxes through the engine's message box.
#pragma once

#include "scope/ScopeDriveServices.h"

class CGuiUpdateItem;

class CScopeWindowServices : public CScopeDriveServices {
public:
    explicit CScopeWindowServices(CGuiUpdateItem& item) : m_item(item) {}
    bool IsDriveConnected(int address) override;
    bool GetConversionParameter(int address, int id, double& value) override;
    bool HasConversionParameter(int address, int id) override;
    void ShowMessage(const char* text) override;
    CString GetFactorySettingsPath() override { return m_factoryPath; }
    void SetFactorySettingsPath(const char* path) { m_factoryPath = path; }

private:
    CGuiUpdateItem& m_item;
    CString m_factoryPath = "kvfact.ini";
};
