// CAboutDlg: the program's name, version, build date and notice (dialog 127).
#pragma once

#include "platform/ui/Dialog.h"

class CAboutDlg : public CDialog {
public:
    static constexpr UINT IDD = 127;
    static constexpr int kNameId = 1270;
    static constexpr int kVersionId = 1271;
    static constexpr int kDateId = 1272;
    static constexpr int kNoticeId = 1273;

    explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
    BOOL OnInitDialog() override;
};
