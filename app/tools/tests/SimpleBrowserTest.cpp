// The browser on fixture pages with a parent that records every notification
// and refuses what it is told to.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/tools/SimpleBrowser.h"
#include "platform/ui/BrowserCtrl.h"
#include "platform/ui/WinApp.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {
class RecordingParent : public CWnd {
public:
    struct Seen {
        UINT code;
        CString url;
        CString text;
    };
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY && wParam == SimpleBrowser::kContainerId) {
            const auto* record = reinterpret_cast<const SimpleBrowser::Notification*>(lParam);
            seen.push_back({record->hdr.code, record->URL, record->text});
            if (record->hdr.code == SimpleBrowser::BeforeNavigate2) {
                EXPECT_EQ(nullptr, record->post_data);
                EXPECT_EQ(0, record->post_data_size);
            }
            return record->hdr.code == SimpleBrowser::BeforeNavigate2 && !refuse.IsEmpty() &&
                           record->URL.Left(refuse.GetLength()) == refuse
                       ? 1
                       : 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const Seen& s : seen)
            codes.push_back(s.code);
        return codes;
    }
    std::vector<Seen> seen;
    CString refuse;
};

class SimpleBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("a.html",
                    "<html><head><title>Page A</title></head><body>"
                    "<a href=\"b.html\">to B</a> "
                    "<a href='KVCLI:Open Terminal \"TERMINAL\"'>open</a> "
                    "<a href=\"Page Two.html\">two</a></body></html>");
        m_dir.Write("b.html", "<html><head><title>Page B</title></head><body>B text</body></html>");
        m_dir.Write("Page Two.html", "<html><head><title>Two</title></head><body>second</body></html>");
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "Host", WS_POPUP, CRect(0, 0, 400, 300), nullptr, 0));
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    std::string Page(const char* name) const { return m_dir.File(name); }

    TempDir m_dir;
    RecordingParent m_parent;
};
}  // namespace

TEST_F(SimpleBrowserTest, BeforeNavigateFirstDocumentCompleteLastAndTheTitle)
{
    SimpleBrowser browser;
    ASSERT_EQ(1, browser.Create(&m_parent, CRect(0, 0, 400, 300)));
    m_parent.seen.clear();
    browser.Navigate(Page("a.html").c_str());
    const std::vector<UINT> codes = m_parent.Codes();
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(SimpleBrowser::BeforeNavigate2, codes.front());
    EXPECT_EQ(SimpleBrowser::DocumentComplete, codes.back());
    EXPECT_EQ(Page("a.html").c_str(), m_parent.seen.front().url);
    bool titled = false;
    for (const RecordingParent::Seen& s : m_parent.seen)
        titled = titled || (s.code == SimpleBrowser::TitleChange && s.text == "Page A");
    EXPECT_TRUE(titled);
    EXPECT_EQ("Page A", browser.GetLocationName());
}

TEST_F(SimpleBrowserTest, ANonZeroReplyCancelsAndALinkArrivesAsWritten)
{
    SimpleBrowser browser;
    ASSERT_EQ(1, browser.Create(&m_parent, CRect(0, 0, 400, 300)));
    browser.Navigate(Page("a.html").c_str());
    m_parent.refuse = "KVCLI:";
    m_parent.seen.clear();
    ASSERT_TRUE(kvtest::ClickBrowserLink(browser.GetControl(), "KVCLI:Open Terminal \"TERMINAL\""));
    ASSERT_EQ(1u, m_parent.seen.size()) << "a cancelled navigation ends at its question";
    EXPECT_EQ("KVCLI:Open Terminal \"TERMINAL\"", m_parent.seen[0].url) << "case, blanks and quotes as written";
    EXPECT_EQ("Page A", browser.GetLocationName());

    m_parent.seen.clear();
    ASSERT_TRUE(kvtest::ClickBrowserLink(browser.GetControl(), "Page Two.html"));
    EXPECT_EQ(Page("Page Two.html").c_str(), m_parent.seen.front().url) << "not re-encoded";
    EXPECT_EQ("Two", browser.GetLocationName());
}

TEST_F(SimpleBrowserTest, BackslashesAndAQueryStillLoadTheFile)
{
    SimpleBrowser browser;
    ASSERT_EQ(1, browser.Create(&m_parent, CRect(0, 0, 400, 300)));
    CString path = Page("b.html").c_str();
    path.Replace("/", "\\");
    browser.Navigate(path + "?step=2");
    EXPECT_EQ("Page B", browser.GetLocationName());
    EXPECT_GE(browser.GetControl().GetDocumentText().Find("B text"), 0);

    browser.Navigate("http://example.com/remote.html");
    EXPECT_GE(browser.GetControl().GetDocumentText().Find("remote pages are not shown"), 0);
    Screenshot(&m_parent, "simple-browser-remote");
}

TEST_F(SimpleBrowserTest, CreateFromStaticTakesItsPlace)
{
    CWnd placeholder;
    ASSERT_TRUE(placeholder.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(10, 20, 210, 120), &m_parent, 2313));
    SimpleBrowser browser;
    EXPECT_EQ(0, browser.CreateFromStatic(&m_parent, 4242)) << "no such static";
    ASSERT_EQ(1, browser.CreateFromStatic(&m_parent, 2313));
    CRect rect;
    browser.GetWindowRect(&rect);
    m_parent.ScreenToClient(&rect);
    EXPECT_EQ(CRect(10, 20, 210, 120), rect);
    EXPECT_EQ(&browser, m_parent.GetDlgItem(2313));
}
