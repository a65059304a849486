// CPanelCommandBar: one set-point bar of the control panel: its picture, edit
// and command register, the set-point in engineering units and the limits of
// the command mode it is in.
#pragma once

#include "platform/core/String.h"
#include "platform/ui/Rect.h"
#include "platform/ui/Wnd.h"

class CPanelOptionsMode;

class CPanelCommandBar {
public:
    CWnd* m_picture = nullptr;
    CRect m_rect;  // the picture's place in the panel's client area
    int m_width = 0;
    int m_height = 0;
    int m_digits = 2;
    double m_value = 0.0;
    double m_previous = 0.0;
    CString m_format;
    CString m_unit;
    const CPanelOptionsMode* m_mode = nullptr;
    CWnd* m_edit = nullptr;
    WORD m_register = 0;
    int m_drawnX = -1;  // the marker's place as last painted; -1 none
};
