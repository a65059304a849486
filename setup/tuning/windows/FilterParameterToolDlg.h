// CFilterParameterToolDlg: gives the type and arguments of a filter block the
// user typed or took from the drive, for a chosen type or the best fit.
#pragma once

#include <functional>

#include "platform/ui/Dialog.h"
#include "resources/ids/SetupFiltersIds.h"
#include "setup/tuning/FilterDesign.h"

class CFilterParameterToolDlg : public CDialog {
public:
    // `readFs` gives the sample frequency of the parent's drive; false while it has none.
    CFilterParameterToolDlg(const FilterCoefficientBlock& block, std::function<bool(double&)> readFs,
                            CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnGuess();
    void OnTypeChanged();
    // Calculates with the type (8 guesses); false, and nothing shown, on failure.
    bool Calculate(int type);
    int GetLastGoodType() const { return m_lastGoodType; }

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool ReadBlock(FilterCoefficientBlock& block) const;
    void ShowType(int type);
    void ShowArguments(const FilterArguments& args);

    FilterCoefficientBlock m_block;
    std::function<bool(double&)> m_readFs;
    int m_lastGoodType = -1;
};
