#include "CloudWindowsBench.h"

namespace cloudbench {
BEGIN_MESSAGE_MAP(Ticker, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()
}  // namespace cloudbench
