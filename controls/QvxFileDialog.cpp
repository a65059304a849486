#include "QvxFileDialog.h"

#include "platform/ui/HelpContext.h"

INT_PTR CQvxFileDialog::DoModal()
{
    CHelpContextScope help(static_cast<SHORT>(m_nIDHelp));
    return CFileDialog::DoModal();
}
