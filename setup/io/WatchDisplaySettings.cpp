#include "setup/io/WatchDisplaySettings.h"

#include "foundation/DPropertyList.h"
#include "platform/core/Profile.h"

namespace {

int BagInt(const CDPropertyList& bag, const char* name, int fallback)
{
    int value = fallback;
    bag.GetInt(name, value);
    return value;
}

}  // namespace

void CWatchDisplaySettings::LoadFromBag(const CDPropertyList& bag)
{
    const int width = BagInt(bag, "nValueColWidth", 0);
    if (width != 0)
        m_valueColWidth = width;
    m_showEnableCheckboxes = BagInt(bag, "bShowEnableCheckboxes", 1);
    m_showUpdateTime = BagInt(bag, "bShowUpdateTime", 1);
    m_showValueFormat = BagInt(bag, "bShowValueFormat", 1);
    m_fontPts10 = BagInt(bag, "nFontPts10", 90);
}

void CWatchDisplaySettings::SaveToBag(CDPropertyList& bag) const
{
    bag.SetInt("nValueColWidth", m_valueColWidth);
    bag.SetInt("bShowEnableCheckboxes", m_showEnableCheckboxes);
    bag.SetInt("bShowUpdateTime", m_showUpdateTime);
    bag.SetInt("bShowValueFormat", m_showValueFormat);
    bag.SetInt("nFontPts10", m_fontPts10);
}

void CWatchDisplaySettings::LoadFromProfile(const char* section)
{
    const int width = static_cast<int>(AfxGetProfileInt(section, "nValueColWidth", 0));
    if (width != 0)
        m_valueColWidth = width;
    m_showEnableCheckboxes = static_cast<int>(AfxGetProfileInt(section, "bShowEnableCheckboxes", 1));
    m_showUpdateTime = static_cast<int>(AfxGetProfileInt(section, "bShowUpdateTime", 1));
    m_showValueFormat = static_cast<int>(AfxGetProfileInt(section, "bShowValueFormat", 1));
    m_fontPts10 = static_cast<int>(AfxGetProfileInt(section, "nFontPts10", 90));
}

BOOL CWatchDisplaySettings::SaveToProfile(const char* section) const
{
    BOOL ok = AfxWriteProfileInt(section, "nValueColWidth", m_valueColWidth);
    ok = AfxWriteProfileInt(section, "bShowEnableCheckboxes", m_showEnableCheckboxes) && ok;
    ok = AfxWriteProfileInt(section, "bShowUpdateTime", m_showUpdateTime) && ok;
    ok = AfxWriteProfileInt(section, "bShowValueFormat", m_showValueFormat) && ok;
    return AfxWriteProfileInt(section, "nFontPts10", m_fontPts10) && ok;
}
