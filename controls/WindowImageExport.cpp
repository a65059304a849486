#include "WindowImageExport.h"

#include "BitBlitter.h"
#include "SaveWindowImageDlg.h"
#include "platform/ui/ClientDC.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/MsgBox.h"

namespace {
const char kError[] = "Error exporting image";

// The blitter lives on between exports, so a second export of the same size reuses its bitmap.
CBitBlitter& SharedBlitter()
{
    static CBitBlitter blitter;
    return blitter;
}

bool PutOnClipboard(CWnd* window, CBitBlitter& blitter)
{
    if (!OpenClipboard(window))
        return false;
    EmptyClipboard();
    // The clipboard takes a copy: the blitter's bitmap stays its own.
    const BOOL placed = SetClipboardImage(blitter.GetBitmap());
    CloseClipboard();
    return placed != FALSE;
}
bool Capture(CWnd* window, CBitBlitter& blitter, int width, int height)
{
    CClientDC windowDc(window);
    return blitter.Create(&windowDc, CRect(0, 0, width, height)) && window->PrintWindow(blitter.GetDC(), PW_CLIENTONLY);
}
}  // namespace

BOOL SaveWindowImageFile(CWnd* window, const char* path)
{
    if (!window || !window->GetSafeHwnd() || !path)
        return FALSE;
    CRect client;
    window->GetClientRect(&client);
    CBitBlitter blitter;
    return Capture(window, blitter, client.Width(), client.Height()) && blitter.SaveToFile(path);
}

int ExportWindowImage(CWnd* window, CSaveWindowImageCB* callback)
{
    if (!window || !window->GetSafeHwnd())
        return 0;
    CRect client;
    window->GetClientRect(&client);
    CSaveWindowImageDlg dialog(window);
    dialog.m_width = client.Width();
    dialog.m_height = client.Height();
    if (dialog.DoModal() != IDOK)
        return 0;

    if (callback)
        callback->BeginImageCapture(0, 0, dialog.m_width, dialog.m_height, dialog.m_forPrinting);
    CBitBlitter& blitter = SharedBlitter();
    const bool rendered = Capture(window, blitter, dialog.m_width, dialog.m_height);
    if (callback)
        callback->EndImageCapture();
    if (!rendered) {
        AfxMessageBox(kError);
        return 0;
    }

    if (dialog.m_target == CSaveWindowImageDlg::TargetClipboard) {
        const bool placed = PutOnClipboard(window, blitter);
        AfxMessageBox(placed ? "Image successfully exported to clipboard" : kError);
        return placed ? 1 : 0;
    }
    if (!blitter.SaveToFile(dialog.m_path)) {
        AfxMessageBox(kError);
        return 0;
    }
    CString message;
    message.Format("Image successfully exported to \"%s\".", dialog.m_path.GetString());
    AfxMessageBox(message);
    return 1;
}
