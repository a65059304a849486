// CPanelOptionsMode: the Min, Max and Step limits of one command mode.
#pragma once

#include <memory>

#include "setup/io/PanelOption.h"

enum PanelOptionIndex : int { kPanelMin = 0, kPanelMax = 1, kPanelStep = 2 };
enum PanelModeEntry : int { kPanelVelocity = 1, kPanelCurrent = 2, kPanelPosition = 3 };

class CPanelOptionsMode {
public:
    CPanelOptionsMode(const CPanelOption& min, const CPanelOption& max, const CPanelOption& step);
    virtual ~CPanelOptionsMode();

    CPanelOption& Option(int which) const { return *m_options[which]; }
    double Min() const { return m_options[kPanelMin]->m_value; }
    double Max() const { return m_options[kPanelMax]->m_value; }
    double Step() const { return m_options[kPanelStep]->m_value; }

private:
    std::unique_ptr<CPanelOption> m_options[3];
};
