#include "TestFrame.h"

BEGIN_MESSAGE_MAP(TestFrame::Ticker, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()
