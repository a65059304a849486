#include <gtest/gtest.h>

#include <unistd.h>
#include <vector>

#include "controls/BitBlitter.h"
#include "controls/WindowImageExport.h"
#include "resources/ids/ExportWindowImageIds.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/UiPrinters.h"
#include "testing/WindowShot.h"

namespace {

// A window that paints itself blue, or yellow while captured for printing.
class CScope : public CWnd, public CSaveWindowImageCB {
public:
    std::vector<CString> calls;
    bool printing = false;
    CScope() { CreateEx(0, nullptr, "Scope", WS_POPUP | WS_VISIBLE, CRect(0, 0, 120, 80), nullptr, 0); }
    void BeginImageCapture(int x, int y, int width, int height, int forPrinting) override
    {
        CString call;
        call.Format("begin %d %d %d %d %d", x, y, width, height, forPrinting);
        calls.push_back(call);
        printing = forPrinting != 0;
    }
    void EndImageCapture() override
    {
        calls.push_back("end");
        printing = false;
    }

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        dc.FillSolidRect(CRect(0, 0, 2000, 2000), printing ? RGB(255, 255, 0) : RGB(0, 0, 255));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScope, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void SetEdit(CWnd* dialog, int id, const char* text) { dialog->SetDlgItemText(id, text); }

class WindowImageTest : public ::testing::Test {
protected:
    void SetUp() override { AfxTakeScriptedMessageLog(); }
    std::vector<CString> Log() { return AfxTakeScriptedMessageLog(); }
    TempDir m_dir;
};
}  // namespace

TEST_F(WindowImageTest, ExportedPngLoadsBackAtTheAskedSize)
{
    CScope scope;
    const std::string path = m_dir.File("scope.png");
    CString shownWidth, shownHeight;
    kvtest::OnNextModal([&](CWnd* d) {
        d->GetDlgItemText(IDC_EXPORT_WIDTH, shownWidth);
        d->GetDlgItemText(IDC_EXPORT_HEIGHT, shownHeight);
        SetEdit(d, IDC_EXPORT_WIDTH, "64");
        SetEdit(d, IDC_EXPORT_HEIGHT, "48");
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_PNG));
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_FOR_PRINTING));
        SetEdit(d, IDC_EXPORT_PATH, path.c_str());
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(ExportWindowImage(&scope, &scope), 1);
    EXPECT_EQ(shownWidth, "120") << "the window's client size is offered";
    EXPECT_EQ(shownHeight, "80");
    EXPECT_EQ(scope.calls, (std::vector<CString>{"begin 0 0 64 48 1", "end"}));
    CBitmap back;
    ASSERT_TRUE(back.LoadImage(path.c_str()));
    EXPECT_EQ(back.GetBitmapDimension(), CSize(64, 48));
    EXPECT_EQ(back.GetPixel(10, 10), RGB(255, 255, 0)) << "captured in the printing scheme";
    const auto log = Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], CString("MSGBOX:Image successfully exported to \"") + path.c_str() + "\".");
    EXPECT_EQ(m_dir.CountEntries(), 1) << "no temporary file is left";
}

TEST_F(WindowImageTest, GifThroughGiflib)
{
    CScope scope;
    const std::string path = m_dir.File("scope.gif");
    // A link where a fixed temporary name would be must not be written through.
    m_dir.Write("victim", "untouched");
    ASSERT_EQ(symlink(m_dir.File("victim").c_str(), (path + ".kvtmp").c_str()), 0);
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_GIF));
        SetEdit(d, IDC_EXPORT_PATH, path.c_str());
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(ExportWindowImage(&scope, nullptr), 1);
    EXPECT_EQ(m_dir.Read("scope.gif").substr(0, 4), "GIF8");
    CBitmap back;
    ASSERT_TRUE(back.LoadImage(path.c_str()));
    EXPECT_EQ(back.GetBitmapDimension(), CSize(120, 80));
    const COLORREF middle = back.GetPixel(60, 40);
    EXPECT_GT(GetBValue(middle), 240) << "blue, within what 256 colours keep";
    EXPECT_LT(GetRValue(middle) + GetGValue(middle), 16);
    EXPECT_EQ(m_dir.Read("victim"), "untouched");
}

TEST_F(WindowImageTest, ClipboardTargetDisablesTheFileControlsAndOwnsItsImage)
{
    CScope scope;
    bool okEnabledWithoutPath = false, okEnabledForFileWithoutPath = true, typeEnabled = true, browseEnabled = true,
         widthEnabled = false;
    kvtest::OnNextModal([&](CWnd* d) {
        okEnabledForFileWithoutPath = d->GetDlgItem(IDOK)->IsWindowEnabled();
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_TO_CLIPBOARD));
        okEnabledWithoutPath = d->GetDlgItem(IDOK)->IsWindowEnabled();
        typeEnabled = d->GetDlgItem(IDC_EXPORT_BMP)->IsWindowEnabled() || d->GetDlgItem(IDC_EXPORT_GIF)->IsWindowEnabled();
        browseEnabled = d->GetDlgItem(IDC_EXPORT_BROWSE)->IsWindowEnabled() || d->GetDlgItem(IDC_EXPORT_PATH)->IsWindowEnabled();
        widthEnabled = d->GetDlgItem(IDC_EXPORT_WIDTH)->IsWindowEnabled();
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(ExportWindowImage(&scope, nullptr), 1);
    EXPECT_FALSE(okEnabledForFileWithoutPath);
    EXPECT_TRUE(okEnabledWithoutPath);
    EXPECT_FALSE(typeEnabled);
    EXPECT_FALSE(browseEnabled);
    EXPECT_TRUE(widthEnabled) << "the size stays editable for the clipboard";
    EXPECT_EQ(Log(), std::vector<CString>{"MSGBOX:Image successfully exported to clipboard"});

    // A second export of the same size reuses the exporter's bitmap; the clipboard's copy stays whole.
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_TO_CLIPBOARD));
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    ASSERT_EQ(ExportWindowImage(&scope, nullptr), 1);
    CBitmap pasted;
    ASSERT_TRUE(GetClipboardImage(pasted));
    EXPECT_EQ(pasted.GetBitmapDimension(), CSize(120, 80));
    EXPECT_EQ(pasted.GetPixel(5, 5), RGB(0, 0, 255));
}

TEST_F(WindowImageTest, CancelExportsNothingAndCallsNoCallback)
{
    CScope scope;
    kvtest::OnNextModal([](CWnd* d) { kvtest::Click(d->GetDlgItem(IDCANCEL)); });
    EXPECT_EQ(ExportWindowImage(&scope, &scope), 0);
    EXPECT_TRUE(scope.calls.empty());
    EXPECT_TRUE(Log().empty());
}

TEST_F(WindowImageTest, EveryFailingStepIsReportedAndTheCaptureAlwaysEnds)
{
    CScope scope;
    auto toClipboard = [](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_TO_CLIPBOARD));
        SetEdit(d, IDC_EXPORT_WIDTH, "33");  // a new size: the bitmap must be made
        kvtest::Click(d->GetDlgItem(IDOK));
    };
    kvtest::FailNextBitmap();
    kvtest::OnNextModal(toClipboard);
    EXPECT_EQ(ExportWindowImage(&scope, &scope), 0);
    EXPECT_EQ(scope.calls, (std::vector<CString>{"begin 0 0 33 80 0", "end"}));
    EXPECT_EQ(Log(), std::vector<CString>{"MSGBOX:Error exporting image"});

    kvtest::FailNextClipboardOpen();
    kvtest::OnNextModal(toClipboard);
    EXPECT_EQ(ExportWindowImage(&scope, &scope), 0);
    EXPECT_EQ(Log(), std::vector<CString>{"MSGBOX:Error exporting image"});

    kvtest::OnNextModal([&](CWnd* d) {
        SetEdit(d, IDC_EXPORT_PATH, m_dir.File("no/such/folder/x.png").c_str());
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(ExportWindowImage(&scope, nullptr), 0);
    EXPECT_EQ(Log(), std::vector<CString>{"MSGBOX:Error exporting image"});
    EXPECT_EQ(scope.calls.size(), 4u) << "one begin and one end for each capture";
}

TEST_F(WindowImageTest, SizesOutsideTheRangeAreRefusedAndBrowseFillsThePath)
{
    CScope scope;
    kvtest::OnNextModal([&](CWnd* d) {
        SetEdit(d, IDC_EXPORT_WIDTH, "0");
        SetEdit(d, IDC_EXPORT_PATH, "x.png");
        kvtest::Click(d->GetDlgItem(IDOK));
        EXPECT_TRUE(d->IsWindowVisible());
        SetEdit(d, IDC_EXPORT_WIDTH, "10001");
        kvtest::Click(d->GetDlgItem(IDOK));
        SetEdit(d, IDC_EXPORT_WIDTH, "50");
        SetEdit(d, IDC_EXPORT_PATH, "");
        kvtest::QueueFileDialogAnswer(m_dir.File("picked.bmp").c_str());
        kvtest::Click(d->GetDlgItem(IDC_EXPORT_BROWSE));
        CString path;
        d->GetDlgItemText(IDC_EXPORT_PATH, path);
        EXPECT_EQ(path, m_dir.File("picked.bmp").c_str());
        EXPECT_TRUE(d->GetDlgItem(IDOK)->IsWindowEnabled());
        kvtest::Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(ExportWindowImage(&scope, nullptr), 1);
    const auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "MSGBOX:Please enter an integer between 1 and 10000.");
    EXPECT_EQ(log[1], "MSGBOX:Please enter an integer between 1 and 10000.");
    CBitmap back;
    ASSERT_TRUE(back.LoadImage(m_dir.File("picked.bmp").c_str()));
    EXPECT_EQ(back.GetBitmapDimension(), CSize(50, 80));
}

TEST(BitBlitterTest, SameSizeKeepsTheBitmapThroughSaves)
{
    TempDir dir;
    CBitBlitter blitter;
    ASSERT_TRUE(blitter.Create(nullptr, CRect(0, 0, 16, 8)));
    const void* first = blitter.GetBitmap().GetSafeHandle();
    blitter.GetDC()->FillSolidRect(CRect(0, 0, 16, 8), RGB(9, 8, 7));
    ASSERT_TRUE(blitter.SaveToFile(dir.File("a.png").c_str()));
    ASSERT_TRUE(blitter.Create(nullptr, CRect(0, 0, 16, 8)));
    EXPECT_EQ(blitter.GetBitmap().GetSafeHandle(), first);
    EXPECT_EQ(blitter.GetBitmap().GetPixel(3, 3), RGB(9, 8, 7)) << "the kept bitmap is whole after saving";
    ASSERT_TRUE(blitter.SaveToFile(dir.File("b.jpg").c_str()));
    ASSERT_TRUE(blitter.Create(nullptr, CRect(0, 0, 20, 8)));
    EXPECT_EQ(blitter.GetBitmap().GetBitmapDimension(), CSize(20, 8));
    EXPECT_FALSE(blitter.SaveToFile(dir.File("c.tiff").c_str()));
}

TEST(WindowShotTest, AnyWindowSavesAsPngThroughTheExport)
{
    TempDir dir;
    CScope scope;
    ASSERT_TRUE(SaveWindowPng(&scope, dir.File("shot.png")));
    CBitmap back;
    ASSERT_TRUE(back.LoadImage(dir.File("shot.png").c_str()));
    EXPECT_EQ(back.GetBitmapDimension(), CSize(120, 80));
    AfxTakeScriptedMessageLog();
}
