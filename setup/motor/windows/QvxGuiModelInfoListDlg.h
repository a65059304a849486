// CQvxGuiModelInfoListDlg: the drive's model information as a settings list
// built from "MotorInfoList.dat", and in the factory and balance
// configurations the buttons that send the rows, balance the current-sense
// offsets and save model data and offsets to the drive's memory.
#pragma once

#include "distribution/DmQueryVar.h"
#include "controls/LampButton.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiLampItem.h"
#include "framework/QvxGuiUpdateList.h"
#include "framework/QvxGuiUpdateListCallback.h"
#include "platform/ui/Font.h"
#include "resources/ids/ModelInfoListIds.h"
#include "setup/motor/ModelInfoListState.h"

class CQvxGuiModelInfoListDlg : public CGuiUpdateDlg, public CQvxGuiUpdateListCallback {
    DECLARE_DYNCREATE(CQvxGuiModelInfoListDlg)

public:
    enum { IDD = IDD_MODEL_INFO_LIST };
    static constexpr const char* kFolder = "Screenlist Templates";
    static constexpr const char* kFileName = "MotorInfoList.dat";

    CQvxGuiModelInfoListDlg();

    CString GetItemName() const override { return "Model Information"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    void ProcessResponses() override;
    void OnStatusWordChanged(int value) override;
    void OnEnableBitChanged(int bit) override;
    int GetPendingChangesState(int ignored) override;
    int CanClose() override;
    void OnListColumnEvent(CString rowId, CString oldText, CString newText, int byUser) override;

    // The definition file in the program folder.
    static CString DefinitionPath();
    CQvxGuiUpdateList& GetList() { return m_list; }
    const CModelInfoListState& GetState() const { return m_state; }
    const CQvxGuiLampItem& GetStatusLamp() const { return m_lamp; }
    const CLampButton& GetBalanceButton() const { return m_balance; }

protected:
    void OnSendToDrive();
    void OnBalance();
    void OnSaveOffsets();
    void OnSaveModel();
    void OnTimer(UINT_PTR id);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnClose();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    bool ShowsButtons() const { return m_factory || m_balanceDisplay; }
    CString DefinitionText() const;
    void SetStatus(const char* text, COLORREF colour, bool blink);
    void ApplyBalanceDisplay(const BalanceDisplay& display);
    void LayoutList();
    void SaveModel();
    void SaveOffsets();
    void LeaveFactoryAccess();
    int Write(WORD code, LONG value);

    CQvxGuiUpdateList m_list;
    CLampButton m_balance;
    CQvxGuiLampItem m_lamp;
    CFont m_lampFont;
    int m_blinkOn = 1;
    CDmQueryVar m_model;
    bool m_firstReply = false;
    CModelInfoListState m_state;
    bool m_factory = false;
    bool m_balanceDisplay = false;
    int m_listTop = 0;
    bool m_initialised = false;
    bool m_left = false;
};
