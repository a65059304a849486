// The free window calls: window procedures, window words, posting and sending, system metrics.
#include "WndBridge.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "DCImpl.h"
#include "Font.h"
#include "WndImpl.h"

using namespace kvui::bridge;

namespace {
int g_screenWidth = 0;
int g_screenHeight = 0;
int g_monitors = 0;
}  // namespace

// ---------------------------------------------------------------------------
LRESULT AfxCallWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWithFrame(hwnd, message, wParam, lParam, false, nullptr);
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value)
{
    CWndImpl* impl = hwnd ? hwnd->GetImpl() : nullptr;
    if (!impl)
        return 0;
    LONG_PTR old = 0;
    switch (index) {
    case GWL_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(impl->proc);
        impl->proc = value ? reinterpret_cast<WNDPROC>(value) : &StandardWndProc;
        break;
    case GWL_STYLE:
        old = static_cast<LONG_PTR>(impl->style);
        impl->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        old = static_cast<LONG_PTR>(impl->exStyle);
        impl->exStyle = static_cast<DWORD>(value);
        break;
    default:
        break;
    }
    return old;
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index)
{
    CWndImpl* impl = hwnd ? hwnd->GetImpl() : nullptr;
    if (!impl)
        return 0;
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(impl->proc);
    case GWL_STYLE: return static_cast<LONG_PTR>(impl->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(impl->exStyle);
    default: return 0;
    }
}

BOOL IsWindow(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(LiveMutex());
    return hwnd && LiveWindows().count(hwnd) ? TRUE : FALSE;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> guard(LiveMutex());
    if (!hwnd || !LiveWindows().count(hwnd) || !hwnd->GetImpl())
        return FALSE;
    QCoreApplication::postEvent(hwnd->GetImpl(), new PostedMessage(message, wParam, lParam));
    return TRUE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsGuiThread())
        return IsWindow(hwnd) ? AfxCallWndProc(hwnd, message, wParam, lParam) : 0;
    // Another thread waits while the GUI thread handles the message.
    CWndImpl* impl = nullptr;
    {
        std::lock_guard<std::mutex> guard(LiveMutex());
        if (!hwnd || !LiveWindows().count(hwnd))
            return 0;
        impl = hwnd->GetImpl();
    }
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        impl, [hwnd, message, wParam, lParam, &result]() {
            if (IsWindow(hwnd))
                result = AfxCallWndProc(hwnd, message, wParam, lParam);
        },
        Qt::BlockingQueuedConnection);
    return result;
}

BOOL ReleaseCapture()
{
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    return TRUE;
}

namespace kvtest {
void OverrideScreen(int width, int height, int monitors)
{
    g_screenWidth = width;
    g_screenHeight = height;
    g_monitors = monitors;
}
}  // namespace kvtest

int GetSystemMetrics(int index)
{
    if (g_screenWidth > 0) {
        switch (index) {
        case SM_CXSCREEN: return g_screenWidth;
        case SM_CYSCREEN: return g_screenHeight;
        case SM_CXVIRTUALSCREEN: return g_screenWidth * std::max(1, g_monitors);
        case SM_CYVIRTUALSCREEN: return g_screenHeight;
        case SM_CMONITORS: return g_monitors;
        case SM_XVIRTUALSCREEN:
        case SM_YVIRTUALSCREEN: return 0;
        default: break;
        }
    }
    auto* app = qGuiApp;
    if (!app || !app->primaryScreen())
        return 0;
    const QScreen* screen = app->primaryScreen();
    switch (index) {
    case SM_CXSCREEN: return screen->size().width();
    case SM_CYSCREEN: return screen->size().height();
    case SM_XVIRTUALSCREEN: return screen->virtualGeometry().x();
    case SM_YVIRTUALSCREEN: return screen->virtualGeometry().y();
    case SM_CXVIRTUALSCREEN: return screen->virtualGeometry().width();
    case SM_CYVIRTUALSCREEN: return screen->virtualGeometry().height();
    case SM_CMONITORS: return static_cast<int>(QGuiApplication::screens().size());
    default: return 0;
    }
}

COLORREF GetSysColor(int index)
{
    // The classic scheme, so that drawings do not depend on the desktop's theme.
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT: return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    default: return RGB(0, 0, 0);
    }
}

void MessageBeep(UINT /*type*/)
{
    if (qApp)
        QApplication::beep();
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = (denominator < 0 ? -denominator : denominator) / 2;
    const long long rounded = ((product < 0) != (denominator < 0)) ? product - (product < 0 ? half : -half)
                                                                  : product + (product < 0 ? -half : half);
    return static_cast<int>(rounded / denominator);
}


LONG GetDialogBaseUnits()
{
    const CSize units = kvui::DialogBaseUnits(kvui::FontFor(nullptr));
    return static_cast<LONG>(MAKELONG(static_cast<WORD>(units.cx), static_cast<WORD>(units.cy)));
}
