// CQvxGuiSetupTavroDigitalOutputDlg: which function bit each general digital
// output pin of a Tavro drive carries, and its active level.
#pragma once

#include "resources/ids/SetupTavroDigitalOutputIds.h"
#include "setup/io/TavroDigitalOutputDefinitions.h"
#include "setup/io/windows/TavroDigitalIoSetupDlg.h"

class CQvxGuiSetupTavroDigitalOutputDlg : public CTavroDigitalIoSetupDlg {
    DECLARE_DYNCREATE(CQvxGuiSetupTavroDigitalOutputDlg)

public:
    enum { IDD = IDD_SETUP_TAVRO_DIGITAL_OUTPUT };

    CQvxGuiSetupTavroDigitalOutputDlg();
    CTavroIoDefinitions& Definitions() override { return m_definitions; }

protected:
    int LoadDefinitions(int variant) override;
    bool IsOffered(const CString& text) const override;

    CTavroDigitalOutputDefinitions m_definitions;

    DECLARE_MESSAGE_MAP()
};
