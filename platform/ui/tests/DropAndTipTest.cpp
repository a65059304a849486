// Files dropped on a window and the tips of its controls.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DropFiles.h"
#include "platform/ui/MessageMap.h"
#include "platform/ui/ToolTipCtrl.h"

namespace {

class DropTarget : public CWnd {
public:
    DropTarget() { CreateEx(0, nullptr, "drops", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0); }
    ~DropTarget() override
    {
        if (GetSafeHwnd())
            DestroyWindow();
    }
    LRESULT OnDropFiles(WPARAM wParam, LPARAM)
    {
        auto drop = reinterpret_cast<HDROP>(wParam);
        count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[512] = "";
            DragQueryFile(drop, i, path, sizeof path);
            paths.emplace_back(path);
        }
        char small[5] = "";
        shortCopy = DragQueryFile(drop, 0, small, sizeof small);
        shortText = small;
        lengthOnly = DragQueryFile(drop, 0, nullptr, 0);
        beyond = DragQueryFile(drop, count, small, sizeof small);
        DragFinish(drop);
        return 0;
    }
    UINT count = 0, shortCopy = 0, lengthOnly = 0, beyond = 99;
    std::string shortText;
    std::vector<std::string> paths;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DropTarget, CWnd)
    ON_MESSAGE(WM_DROPFILES, &DropTarget::OnDropFiles)
END_MESSAGE_MAP()

}  // namespace

TEST(DropAndTipTest, DroppedFilesReachOnlyAWindowThatTakesThem)
{
    DropTarget target;
    EXPECT_FALSE(IsDragAcceptFiles(&target));
    EXPECT_FALSE(kvtest::DropFiles(&target, {"/tmp/a.qfu"})) << "not accepted yet";
    EXPECT_EQ(target.count, 0u);

    DragAcceptFiles(&target, TRUE);
    DragAcceptFiles(&target, TRUE);  // twice is once
    EXPECT_TRUE(kvtest::DropFiles(&target, {"/tmp/first file.qfu", "/tmp/second.qfu"}));
    EXPECT_EQ(target.count, 2u);
    EXPECT_EQ(target.paths, (std::vector<std::string>{"/tmp/first file.qfu", "/tmp/second.qfu"}));
    EXPECT_EQ(target.shortText, "/tmp") << "cut to the buffer, always terminated";
    EXPECT_EQ(target.shortCopy, 4u);
    EXPECT_EQ(target.lengthOnly, 19u);
    EXPECT_EQ(target.beyond, 0u);

    DragAcceptFiles(&target, FALSE);
    target.paths.clear();
    EXPECT_FALSE(kvtest::DropFiles(&target, {"/tmp/third.qfu"}));
    EXPECT_TRUE(target.paths.empty());
    EXPECT_EQ(DragQueryFile(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
}

TEST(DropAndTipTest, TipsFollowTheirToolsAndGoWhenDeactivated)
{
    DropTarget parent;
    CButton first, second;
    ASSERT_TRUE(first.Create("1", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 11));
    ASSERT_TRUE(second.Create("2", WS_CHILD | WS_VISIBLE, CRect(0, 30, 50, 50), &parent, 12));
    CToolTipCtrl tips;
    EXPECT_FALSE(tips.AddTool(&first, "no control yet"));
    ASSERT_TRUE(tips.Create(&parent));
    ASSERT_TRUE(tips.AddTool(&first, "/a/long/path/one.hex"));
    CString text;
    tips.GetText(text, &first);
    EXPECT_EQ(text, "/a/long/path/one.hex");
    tips.GetText(text, &second);
    EXPECT_EQ(text, "") << "not a tool";
    tips.UpdateTipText("/another.hex", &first);
    tips.UpdateTipText("ignored", &second);
    tips.GetText(text, &first);
    EXPECT_EQ(text, "/another.hex");
    tips.GetText(text, &second);
    EXPECT_EQ(text, "");
    tips.Activate(FALSE);
    EXPECT_FALSE(tips.IsActive());
    tips.GetText(text, &first);
    EXPECT_EQ(text, "/another.hex") << "kept for when the tips come back";
    tips.DelTool(&first);
    tips.GetText(text, &first);
    EXPECT_EQ(text, "");
}
