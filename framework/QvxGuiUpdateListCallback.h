// CQvxGuiUpdateListCallback: tells the owner window of every change of a
// value cell; by user is 0 only for a refresh from the drive.
#pragma once

#include "platform/core/String.h"

class CQvxGuiUpdateListCallback {
public:
    virtual ~CQvxGuiUpdateListCallback() = default;
    virtual void OnListColumnEvent(CString /*rowId*/, CString /*oldText*/, CString /*newText*/, int /*byUser*/) {}
};
