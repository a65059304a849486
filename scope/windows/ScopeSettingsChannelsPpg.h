// CScopeSettingsChannelsPpg: the twelve channels of the oscilloscope settings
// sheet: which drive signal each shows (as Y and, in X-Y mode, X), its units,
// scale and offset, and the trace's colour and width. Works on copies of the
// window's source list and trace array.
#pragma once

#include <map>
#include <vector>

#include "comm/link/DriveAssignment.h"
#include "platform/ui/Dialog.h"
#include "scope/ScopeSourceDataList.h"
#include "scope/ScopeSourceQueryDataList.h"
#include "scope/ScopeTraceDataArray.h"

class CComboBox;
class CListCtrl;
class CScopeDriveServices;

class CScopeSettingsChannelsPpg : public CDialog {
public:
    explicit CScopeSettingsChannelsPpg(CScopeDriveServices& services);
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // The user's acts, as the controls call them.
    void SelectChannel(int channel);
    void OnChannelChecked(int channel, bool checked);
    void OnDriveChosen();
    void OnRegisterChosen();
    void OnUnassign();
    void OnSetColor();
    void OnReset();
    void WriteBack();
    int GetSelectedChannel() const { return m_channel; }
    // The sources checked channels of the drive ask for, not counting `exceptChannel`.
    int CheckedChannelsOfDrive(int address, int exceptChannel);

    CScopeTraceDataArray Traces;
    CScopeSourceDataList Sources;
    std::vector<CDriveAssignment> Drives;
    int XYMode = 0;
    int EditX = 0;
    int ModeChanged = 0;
    CString CustomCommand = "<Enter custom command>";
    CString CustomDescription = "Custom Channel";
    int CustomMinUpdateMs = 2;

private:
    CScopeSourceData* EditedSource();
    const CScopeSourceQueryDataList& CatalogueOf(int address);
    void ApplyModeChange();
    void FillDrives();
    void FillRegisters(int address);
    void LoadChannel();
    void ShowChecks();
    void EnableControls();
    int ChosenDrive();
    CString DriveName(int address) const;
    bool DriveUsable(int address);
    bool RegisterInUse(int address, int index);
    CListCtrl* List();
    CComboBox* Combo(int id);

    CScopeDriveServices& m_services;
    std::map<int, CScopeSourceQueryDataList> m_catalogues;
    int m_channel = -1;
    int m_loading = 0;
};
