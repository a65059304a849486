// CPanelOption: one limit of a control panel command mode (Min, Max or Step).
#pragma once

struct CPanelOption {
    int m_controlNumber = 0;  // its edit control is 1560 + this
    int m_digits = 0;         // decimals when shown or named in a message
    int m_keyNumber = 0;      // index into the settings key table
    double m_value = 0.0;
    double m_lowest = 0.0;
    double m_highest = 0.0;

    int EditId() const { return 1560 + m_controlNumber; }
};
