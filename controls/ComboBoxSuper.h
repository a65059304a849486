// CComboBoxSuper: an owner-drawn combo box whose items can carry an icon, a
// text colour, a bold face and texts in further columns between grey lines.
#pragma once

#include <map>

#include "platform/core/Array.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ImageList.h"

struct COMBOSUPERITEM {
    COLORREF crTextColor = 0;
    int iIconIndex = -1;
    std::map<int, CString> mapStrings;  // texts of columns 1 and up
    BOOL bBold = FALSE;
    DWORD_PTR dwItemData = 0;
};

class CComboBoxSuper : public CComboBox {
public:
    CComboBoxSuper();
    ~CComboBoxSuper() override;

    // The item's record, made on first use; null outside the list.
    COMBOSUPERITEM* GetItemRecord(int index);
    void ResetColumnWidths();

    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;
    void DeleteItem(LPDELETEITEMSTRUCT item) override;

    CArray<int, int> m_columnWidths;
    CImageList* m_imageList = nullptr;
    BOOL m_showIcons = TRUE;

protected:
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
