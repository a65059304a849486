// CQvxGuiSetupFilters: the drive's four digital filters: design one from its
// type and arguments, compare it with the block the drive holds, send it, and
// keep designs as named presets.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/SetupFiltersIds.h"
#include "setup/tuning/FilterDesign.h"
#include "setup/tuning/windows/FilterPresetFile.h"

class CComboBox;
class CTabCtrl;

constexpr WORD kFilterItemParameter = 23747;
constexpr WORD kFilterAddressParameter = 23753;
constexpr WORD kFilterTypeWordParameter = 23764;
constexpr int kFilterSlots = 4;

class CQvxGuiSetupFilters : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiSetupFilters)

public:
    enum { IDD = IDD_SETUP_FILTERS };

    CQvxGuiSetupFilters();

    CString GetItemName() const override { return "Filters"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int GetPendingChangesState(int ignored) override;
    int CanClose() override;
    void SerializeLayout(CArchive& ar, int version) override;

    // Commands.
    void OnTabChanged(NMHDR* header, LRESULT* result);
    void OnWorkTypeChanged();
    void OnArgumentEdited();
    void OnGenerateWorking();
    void OnGenerateDrive();
    void OnDriveTypeChanged();
    void OnInvTest();
    void OnSend();
    void OnSavePreset();
    void OnLoadPreset();
    void OnDeletePreset();
    void OnFilterTool();
    void OnDestroy();

    // What the window holds, for its callers and tests.
    int GetSlot() const { return m_slot; }
    void SelectSlot(int slot);
    const FilterCoefficientBlock& GetWorkingBlock(int slot) const { return m_work[ClampSlot(slot)]; }
    bool IsNotGenerated(int slot) const { return m_notGenerated[ClampSlot(slot)]; }
    // The six drive items of the current slot; false while one is missing.
    bool GetDriveBlock(FilterCoefficientBlock& block) const;
    bool ReadSampleFrequency(double& fs);
    CString FiltersIniPath() const;
    // The question asked before closing; empty when nothing is pending.
    CString PendingChangesQuestion();
    static int ClampSlot(int slot) { return slot >= 0 && slot < kFilterSlots ? slot : 0; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    void BindDriveItems();
    void ClearSlotFlags();
    void ShowPresetRecord(const FilterPresetRecord& record);
    FilterPresetRecord WorkingPanelRecord() const;
    void ShowSentAsDriveFilter(int type);
    void ShowWorkingType(int type);
    void ShowDrivePanel(int type, const FilterArguments* args);
    void ShowBlocks();
    bool GenerateWorking(double fs, bool quiet);
    bool CalculateDriveArguments(int type, bool guess);
    void RefreshPresetList();
    CString PresetName() const;
    CString CurrentSet() const;
    void SetCurrentSet(const CString& name);
    void CompareWithDrive();
    CComboBox* Combo(int id) const;
    CTabCtrl* Tabs() const;

    int m_slot = 0;
    FilterCoefficientBlock m_work[kFilterSlots];
    FilterPresetRecord m_preset[kFilterSlots];
    FilterPresetRecord m_drivePanel[kFilterSlots];
    int m_drivePanelType[kFilterSlots] = {0, 0, 0, 0};
    bool m_takenFromDrive[kFilterSlots] = {};
    bool m_presetShown[kFilterSlots] = {};
    bool m_notGenerated[kFilterSlots] = {};
    bool m_differsFromDrive[kFilterSlots] = {};
    bool m_driveArgsShown[kFilterSlots] = {};
    bool m_generatedSinceOpen[kFilterSlots] = {};
    FilterCoefficientBlock m_driveItems;
    bool m_haveItem[FilterCoefficientBlock::kItemCount] = {};
    FilterCoefficientBlock m_lastShownDrive;
    bool m_suppress = false;
};
