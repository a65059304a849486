// CClientDC: a window's context outside painting. The toolkit lets a window be
// drawn only while it paints, so this context measures text and carries the
// window's font and resolution; what is drawn on it is dropped and the window
// is asked to repaint instead.
#pragma once

#include "DC.h"

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

private:
    CWnd* m_wnd;
};
