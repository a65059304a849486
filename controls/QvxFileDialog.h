// CQvxFileDialog: the standard file dialog that tells the help system which
// help context applies while it is open.
#pragma once

#include "platform/ui/FileDialog.h"

class CQvxFileDialog : public CFileDialog {
public:
    using CFileDialog::CFileDialog;
    INT_PTR DoModal() override;
    UINT m_nIDHelp = 0;
};
