// CComboTreeCtrlExt: the popup tree the tree combo embeds.
#pragma once

#include "ComboTreeCtrl.h"

class CComboTreeCtrlExt : public CComboTreeCtrl {};
