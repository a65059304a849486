// How wide a combo box must be to show its items whole.
#pragma once

#include "ComboBox.h"

// The width (pixels) at which the closed box shows its widest item whole, arrow included.
int AfxGetComboFittingWidth(const CComboBox& combo);
