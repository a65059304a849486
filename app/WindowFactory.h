// CWindowFactory: the drive windows the main frame opens by menu command,
// in one table: command, window class, whether the command first asks how
// many connected drives can take a window of that class, and its enabling
// rule. Only classes that exist in the program get their commands; the
// others stay greyed. The registration table names every window class under
// its GUI name for layouts, scripts and text commands.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/WinTypes.h"

class CGuiUpdateDlg;
class CGuiUpdateDlgIdMap;
class CGuiUpdateList;

enum FactoryUpdateRule : int {
    kUpdateGeneric = 0,  // disabled while a backup runs or communications are closed, else as drives allow
    kUpdateNone = 1,     // always enabled
    kUpdateModal = 2,    // always enabled; a modal window the frame opens itself (the firmware windows)
};

struct FactoryRow {
    UINT command;
    const char* className;
    bool drivesCheck;
    int update;
    const char* altClassName;  // tried when no drive can take the first class
};

struct GuiRegistration {
    const char* guiName;
    const char* className;
    int familyMask;
    int featureMask;
};

class CWindowFactory {
public:
    CWindowFactory(CGuiUpdateList& list, CGuiUpdateDlgIdMap& registry) : m_list(list), m_registry(registry) {}

    // Registers every window class of the table that exists, in the table's order.
    void RegisterWindowClasses();
    const FactoryRow* Find(UINT command) const;
    // The class a command opens (by the Debug display flag for the model information command).
    const char* ClassFor(const FactoryRow& row, int displayFlags) const;
    // Whether the program holds a window class for the command.
    bool IsAvailable(UINT command, int displayFlags) const;
    // How many connected drives can take a window of the class.
    int DrivesFor(const char* className) const;
    // Opens the command's window; 1 when made, else the (fewer than one) drive count or 0.
    int Open(UINT command, int displayFlags);
    // The generic rule and the row's own rule.
    bool IsEnabled(UINT command, int displayFlags, bool commOpen, bool backupBusy) const;

    static const std::vector<FactoryRow>& Rows();
    static const std::vector<GuiRegistration>& Registrations();
    // Adds a row (the framework's sample window in tests, until the real windows land).
    static void AddRow(const FactoryRow& row);
    static void RemoveRow(UINT command);
    // Opens the modal window of a kUpdateModal row by its class name.
    void SetModalOpener(std::function<void(const char* className)> opener) { m_modalOpener = std::move(opener); }

private:
    CGuiUpdateDlg* Create(const char* className);
    CGuiUpdateList& m_list;
    CGuiUpdateDlgIdMap& m_registry;
    std::function<void(const char*)> m_modalOpener;
};
