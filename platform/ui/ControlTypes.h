// Names of the common controls' richer side: list items and columns with
// images, tree items, owner-drawn combo items, end-of-edit records and the
// post-paint stage of custom drawing.
#pragma once

#include "UiTypes.h"

// List view.
constexpr DWORD LVS_ICON = 0x0;
constexpr DWORD LVS_SMALLICON = 0x2;
constexpr DWORD LVS_EDITLABELS = 0x200;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_EX_SUBITEMIMAGES = 0x2;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr UINT LVIF_TEXT = 0x1;
constexpr UINT LVIF_IMAGE = 0x2;
constexpr UINT LVIF_PARAM = 0x4;
constexpr UINT LVCF_FMT = 0x1;
constexpr UINT LVCF_WIDTH = 0x2;
constexpr UINT LVCF_TEXT = 0x4;
constexpr int LVCFMT_JUSTIFYMASK = 0x3;
constexpr UINT LVHT_ONITEMICON = 0x2;
constexpr UINT LVHT_ONITEMLABEL = 0x4;
constexpr UINT LVHT_ONITEMSTATEICON = 0x8;
constexpr UINT LVIR_ICON = 1;

struct LVITEM {
    UINT mask;
    int iItem;
    int iSubItem;
    UINT state;
    UINT stateMask;
    LPSTR pszText;
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};
using LPLVITEM = LVITEM*;

struct LVCOLUMN {
    UINT mask;
    int fmt;
    int cx;
    LPSTR pszText;
    int cchTextMax;
    int iSubItem;
};

// LVN_ENDLABELEDIT and LVN_BEGINLABELEDIT carry the edited item.
struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};

// Custom drawing after the default paint.
constexpr DWORD CDDS_POSTPAINT = 0x2;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x4;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x10;
constexpr UINT CDIS_SELECTED = 0x1;

// Tree view.
struct TreeItemHandle;
using HTREEITEM = TreeItemHandle*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
constexpr DWORD TVS_HASBUTTONS = 0x1;
constexpr DWORD TVS_HASLINES = 0x2;
constexpr DWORD TVS_LINESATROOT = 0x4;
constexpr DWORD TVS_CHECKBOXES = 0x100;
constexpr UINT TVE_COLLAPSE = 0x1;
constexpr UINT TVE_EXPAND = 0x2;
constexpr UINT TVE_TOGGLE = 0x3;
constexpr UINT TVGN_ROOT = 0x0;
constexpr UINT TVGN_NEXT = 0x1;
constexpr UINT TVGN_PARENT = 0x3;
constexpr UINT TVGN_CHILD = 0x4;
constexpr UINT TVGN_CARET = 0x9;
constexpr UINT TVHT_NOWHERE = 0x1;
constexpr UINT TVHT_ONITEMICON = 0x2;
constexpr UINT TVHT_ONITEMLABEL = 0x4;
constexpr UINT TVHT_ONITEMINDENT = 0x8;
constexpr UINT TVHT_ONITEMBUTTON = 0x10;
constexpr UINT TVHT_ONITEMRIGHT = 0x20;
constexpr UINT TVHT_ONITEMSTATEICON = 0x40;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVN_SELCHANGED = static_cast<UINT>(-402);
constexpr UINT TTM_POP = WM_USER + 28;

// Owner-drawn combo boxes.
constexpr DWORD CBS_OWNERDRAWFIXED = 0x10;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x20;
constexpr DWORD CBS_HASSTRINGS = 0x200;
constexpr DWORD CBS_DISABLENOSCROLL = 0x800;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODS_COMBOBOXEDIT = 0x1000;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_SETHORIZONTALEXTENT = 0x015E;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;

struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    DWORD_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct DELETEITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    HWND hwndItem;
    DWORD_PTR itemData;
};
using LPDELETEITEMSTRUCT = DELETEITEMSTRUCT*;

constexpr UINT VK_F4 = 0x73;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXEDGE = 45;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
