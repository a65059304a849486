// CQvxDatabaseTestDlg: a developer's bench for the table database. It shows
// one recordset in two settings lists and a record selector, moves through
// it, adds, deletes and writes records, exports and imports JSON, submits
// encoder records to the cloud service and writes a comparison report of the
// motor table against the ERP web service's motor data set. Modeless; it
// deletes itself when its window goes.
//
// A database that a test window loaded itself is shared with the windows that
// "New Recset" opens on it and goes with the last of them.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "controls/DPopupSelectListEditCtrl.h"
#include "database/QvxDatabaseRecordsetClient.h"
#include "database/windows/QvxDatabaseNavCombo.h"
#include "database/windows/WindowActionGuard.h"
#include "framework/QvxGuiUpdateList.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/RichEditCtrl.h"

class CQvxDatabase;

class CQvxDatabaseTestDlg : public CDialog, public CQvxDatabaseRecordsetClient {
public:
    CQvxDatabaseTestDlg();
    ~CQvxDatabaseTestDlg() override;

    // A new window on the database (null: the window loads a table file of its
    // own when asked), shown unbound; null when it could not be made. A
    // database given here must outlive the window.
    static CQvxDatabaseTestDlg* Open(CQvxDatabase* database, const char* tableName, const char* recordsetName,
                                     CWnd* parent = nullptr);
    // Creates the window when needed, keeps the three values and shows it.
    BOOL Show(CQvxDatabase* database, const char* tableName, const char* recordsetName, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { OnClose(); }
    void PostNcDestroy() override;
    void OnClose();
    void OnDestroy();

    // The recordset's notices that change what the buttons allow.
    void OnFieldValueSet(int, const char*) override { RefreshButtons(); }
    void OnCurrentRecordChanged() override { RefreshButtons(); }
    void OnRecordUpdated() override { RefreshButtons(); }
    void OnRecordRemoved() override { RefreshButtons(); }
    void OnRecordAdded() override { RefreshButtons(); }

    void OnOpenDb();
    void OnCloseDb();
    void OnFirst();
    void OnPrev();
    void OnNext();
    void OnLast();
    void OnRequery();
    void OnAdd();
    void OnDelete();
    void OnWrite();
    void OnNewRecset();
    void OnTest();
    void OnExportJson();
    void OnExportRecordJson();
    void OnImportJson();
    void OnTestCloudInterface();

    CQvxDatabase* GetDatabase() const { return m_database; }
    const CString& GetTableName() const { return m_tableName; }
    const CString& GetRecordsetName() const { return m_recordsetName; }
    // The windows that exist now, oldest first.
    static const std::vector<CQvxDatabaseTestDlg*>& GetWindows() { return s_windows; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    static CQvxDatabaseTestDlg* OpenShared(CQvxDatabase* database, std::shared_ptr<CQvxDatabase> shared,
                                           const CString& tableName, const CString& recordsetName, CWnd* parent);
    // Asks for a table file and loads it into a database of this window's own.
    bool LoadOwnDatabase();
    // The recordset of the window's name; opened over the window's table when the database lacks it.
    CQvxDatabaseRecordset* FindOrOpenRecordset();
    void Bind(CQvxDatabaseRecordset* recordset);
    void CloseBinding();
    void RefreshButtons();
    void EnableButton(int id, bool enable);
    // Moves, adds, deletes or writes after ending the first list's edit.
    void ApplyToRecordset(BOOL (CQvxDatabaseRecordset::*operation)());
    void SubmitReadyEncoders();
    void MakeComparisonReport();
    // Runs work that waits on the network with every button disabled; a close
    // asked for meanwhile is done afterwards. False when the window is gone
    // then (this object with it).
    bool RunGuarded(const std::function<void()>& work);
    bool IsIdle() const { return !m_guard.IsBusy() && GetSafeHwnd(); }

    CQvxDatabase* m_database = nullptr;
    // Set when a test window made the database.
    std::shared_ptr<CQvxDatabase> m_sharedDatabase;
    // This window made it: closing the binding lets go of it.
    bool m_ownDatabase = false;
    CString m_tableName;
    CString m_recordsetName;
    int m_newRecsetCount = 0;

    CQvxGuiUpdateList m_list1;
    CQvxGuiUpdateList m_list2;
    CQvxDatabaseNavCombo m_navCombo;
    CDPopupSelectListEditCtrl m_modelEdit;
    CRichEditCtrl m_text;

    CWindowActionGuard m_guard;
    bool m_deleteWhenDone = false;
    static std::vector<CQvxDatabaseTestDlg*> s_windows;
};
