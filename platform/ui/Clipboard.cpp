#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "DCImpl.h"
#include "WndImpl.h"

namespace {
bool g_open = false;
bool g_failNextOpen = false;
}  // namespace

namespace kvtest {
void FailNextClipboardOpen() { g_failNextOpen = true; }
}  // namespace kvtest

BOOL OpenClipboard(CWnd* /*owner*/)
{
    if (g_failNextOpen) {
        g_failNextOpen = false;
        return FALSE;
    }
    if (g_open || !qGuiApp)
        return FALSE;
    g_open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    const BOOL was = g_open;
    g_open = false;
    return was;
}

BOOL EmptyClipboard()
{
    if (!g_open)
        return FALSE;
    QGuiApplication::clipboard()->clear();
    return TRUE;
}

BOOL SetClipboardImage(const CBitmap& bitmap)
{
    if (!g_open || !bitmap.GetSafeHandle())
        return FALSE;
    const QImage& image = bitmap.GetImpl()->image;
    if (image.isNull())
        return FALSE;
    QImage own = image.copy();  // a deep copy: the clipboard owns what it holds
    QGuiApplication::clipboard()->setImage(own);
    return QGuiApplication::clipboard()->image().isNull() ? FALSE : TRUE;
}

BOOL IsClipboardImageAvailable() { return qGuiApp && !QGuiApplication::clipboard()->image().isNull(); }

BOOL GetClipboardImage(CBitmap& bitmap)
{
    if (!qGuiApp)
        return FALSE;
    const QImage image = QGuiApplication::clipboard()->image();
    if (image.isNull() || !bitmap.CreateCompatibleBitmap(nullptr, image.width(), image.height()))
        return FALSE;
    bitmap.GetImpl()->image = image.convertToFormat(QImage::Format_RGB32);
    return TRUE;
}

CString GetClipboardText()
{
    if (!qGuiApp)
        return CString();
    return kvui::FromQ(QGuiApplication::clipboard()->text());
}
