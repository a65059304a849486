// CQvxGuiUpdateListData: one row of the drive-settings list, as its
// definition lines built it, with the value last read and the edit state.
#pragma once

#include <memory>

#include "QvxGuiUpdateListDataSelectorList.h"
#include "database/QvxDatabaseRecordsetClient.h"
#include "platform/core/String.h"

class CQvxGuiUpdateListData : public CQvxDatabaseRecordsetClient {
public:
    enum RowFlags {
        kWriteWhileDisabled = 0x1,
        kWriteWhileEnabled = 0x2,
        kSigned = 0x4,
        kStepByOne = 0x8,
        kWrapSelections = 0x10,
        kSendAtOnce = 0x20,
    };

    void Reset();
    // The text the value cell shows: the choice's text for a row with choices.
    CString GetShownText() const;
    // The recordset asks its clients to refresh.
    void OnRefresh() override { m_refreshRequested = 1; }

    int m_listIndex = -1;
    int m_digits = 0;
    CString m_label;
    CString m_query;
    CString m_command;
    CString m_value;
    CString m_savedValue;
    CString m_id;
    int m_labelOnly = 1;
    int m_rangeCheck = 1;
    int m_modified = 0;
    int m_oneShot = 0;
    CString m_minimum = "0.0";
    CString m_maximum = "4294967295";
    int m_flags = 0;
    int m_recordsetField = 0;
    int m_refreshRequested = 0;
    std::unique_ptr<CQvxGuiUpdateListDataSelectorList> m_selectors;
};
