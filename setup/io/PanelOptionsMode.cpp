#include "setup/io/PanelOptionsMode.h"

CPanelOptionsMode::CPanelOptionsMode(const CPanelOption& min, const CPanelOption& max, const CPanelOption& step)
{
    m_options[kPanelMin] = std::make_unique<CPanelOption>(min);
    m_options[kPanelMax] = std::make_unique<CPanelOption>(max);
    m_options[kPanelStep] = std::make_unique<CPanelOption>(step);
}

CPanelOptionsMode::~CPanelOptionsMode() = default;
