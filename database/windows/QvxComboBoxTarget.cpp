#include "QvxComboBoxTarget.h"

#include "foundation/WindowBoundHelpers.h"

bool CQvxComboBoxTarget::SelectItemByData(DWORD_PTR data)
{
    return SelectComboItemByData(m_combo, data, TRUE) != 0;
}
