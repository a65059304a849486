// The analog I/O windows of both drive families open from the Setup menu on
// the demo link, each on its own family's drive.
#include "AppTestFixture.h"
#include "framework/GuiUpdateList.h"

namespace {

class AnalogIoWiringTest : public AppFixture {};

TEST_F(AnalogIoWiringTest, EachFamilysAnalogWindowOpensFromItsMenu)
{
    ASSERT_TRUE(Start());
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    ASSERT_TRUE(Frame()->IsCommOpen());
    CGuiUpdateList* list = Frame()->GetUpdateList();
    const struct {
        const char* item;
        const char* className;
        int drive;
    } cases[] = {
        {"&Setup|Kreln Drive|&Analog I/O...", "CQvxSetupAnalogIoDlg", 1},
        {"&Setup|Tavro Drive|Setup Analog Outputs...", "CQvxGuiTavroAnalogOutputDlg", 2},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), c.item)) << c.item;
        EXPECT_TRUE(Wait([&] {
            CGuiUpdateItem* window = list->FindItem(c.className, c.drive);
            return window && window->AreStagesDone();
        })) << c.className;
    }
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Close"));
}

}  // namespace
