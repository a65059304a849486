#include <gtest/gtest.h>

#include <fstream>

#include "setup/motor/ModelInfoCalc.h"
#include "setup/motor/ModelInfoListState.h"
#include "platform/core/MessageBox.h"
#include "testing/TempDir.h"

namespace {

TEST(ModelInfoCalcTest, BoardTexts)
{
    EXPECT_EQ(CModelInfoCalc::BoardText(0x0405), "005A");
    EXPECT_EQ(CModelInfoCalc::BoardText(0x0005), "005");
    EXPECT_EQ(CModelInfoCalc::BoardText(0x0BFF), "1023B");
}

TEST(ModelInfoCalcTest, TheModelListIsReadInPiecesAndBounded)
{
    TempDir dir;
    const std::string path = dir.File("ModelNumber.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "101  \r\n" << "ABCDEFGHIJKLMNOPQRST\r\n" << "123456789012345678\r\n" << "undefined\r\n"
            << "Custom (9999)\r\n";
        for (int i = 0; i < 60; ++i)
            out << 200 + i << "\r\n";
    }
    const std::vector<CString> list = CModelInfoCalc::ReadModelList(path.c_str());
    ASSERT_EQ(list.size(), 50u) << "further lines are ignored";
    EXPECT_EQ(list[0], "101");
    EXPECT_EQ(list[1], "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(list[2], "ST");
    EXPECT_EQ(list[3], "123456789012345678") << "a full piece leaves no empty entry";
    EXPECT_EQ(list[4], "undefined");
    EXPECT_EQ(list[6], "200");
    EXPECT_TRUE(CModelInfoCalc::ReadModelList(dir.File("missing.ini").c_str()).empty());

    EXPECT_EQ(CModelInfoCalc::ModelFromList(list, 0), 101);
    EXPECT_EQ(CModelInfoCalc::ModelFromList(list, 4), std::nullopt);
    EXPECT_TRUE(CModelInfoCalc::IsUndefined(list, 4));
    EXPECT_EQ(CModelInfoCalc::ModelFromList(list, 5), ModelInfoProducts::kReservedModel);
    EXPECT_EQ(CModelInfoCalc::ModelFromList(list, -1), 0);
    EXPECT_EQ(CModelInfoCalc::ModelFromList(list, 50), 0);

    EXPECT_EQ(CModelInfoCalc::ListIndexForModel(list, 101, 21), 0);
    EXPECT_EQ(CModelInfoCalc::ListIndexForModel(list, ModelInfoProducts::kReservedModel, 15), 5);
    EXPECT_EQ(CModelInfoCalc::ListIndexForModel(list, ModelInfoProducts::kReservedModel, 16), -1);
    EXPECT_EQ(CModelInfoCalc::ListIndexForModel(list, 777, 15), -1);
}

TEST(ModelInfoCalcTest, SendsNeverDivideByZero)
{
    // 10 A with I feedback 20.00: trunc(10 x 3276700 / 2000 + 0.5).
    EXPECT_EQ(CModelInfoCalc::CurrentToDrive(10, CModelInfoCalc::FeedbackWord(20.00)), 16384);
    EXPECT_EQ(CModelInfoCalc::CurrentToDrive(10, 0), std::nullopt);
    EXPECT_EQ(CModelInfoCalc::ThermalToDrive(2.5), 1638);
    EXPECT_EQ(CModelInfoCalc::ThermalToDrive(0.5), std::nullopt);
    EXPECT_EQ(CModelInfoCalc::ThermalToDrive(0.2), std::nullopt);
    EXPECT_EQ(CModelInfoCalc::ThermalTimeConstant(1638), 2);
    EXPECT_EQ(CModelInfoCalc::ThermalTimeConstant(0), std::nullopt);
    EXPECT_EQ(CModelInfoCalc::ThermalSubIndex(16), 22);
    EXPECT_EQ(CModelInfoCalc::ThermalSubIndex(15), 11);
    EXPECT_STREQ(CModelInfoCalc::FeedbackLabel(16), "I full scale A:");
    EXPECT_DOUBLE_EQ(*CModelInfoCalc::BusVolts(32767, 400), 400.0);
    EXPECT_DOUBLE_EQ(*CModelInfoCalc::BusVoltsToRaw(200, 400), 16383.5);
    EXPECT_EQ(CModelInfoCalc::BusVolts(100, 0), std::nullopt);
}

TEST(ModelInfoListStateTest, BalancingFollowsBitElevenOnly)
{
    CModelInfoListState state;
    EXPECT_FALSE(state.OnStatusWord(0x100)) << "an idle drive changes nothing";
    const auto running = state.OnStatusWord(0x900);
    ASSERT_TRUE(running);
    EXPECT_STREQ(running->buttonText, "Balancing...");
    EXPECT_EQ(running->buttonFace, 0x0000FFu);
    EXPECT_TRUE(running->buttonBlinks);
    EXPECT_EQ(running->statusColour, 0x00C400u);
    EXPECT_FALSE(state.OnStatusWord(0x901)) << "other bits do not repeat it";
    const auto done = state.OnStatusWord(0x100);
    ASSERT_TRUE(done);
    EXPECT_STREQ(done->statusText, "Completed");
    EXPECT_STREQ(done->buttonText, "Balance");
    EXPECT_EQ(done->buttonFace, 0xBEBEBEu);
    EXPECT_FALSE(done->statusBlinks);
}

TEST(ModelInfoListStateTest, CloseQuestionsFollowTheUnsavedFlags)
{
    struct Script {
        std::vector<std::string> asked;
        std::vector<int> answers;
        int modelSaves = 0, offsetSaves = 0;
    };
    const auto close = [](CModelInfoListState& state, bool unsent, Script& script) {
        size_t next = 0;
        CModelInfoListState::CloseActions actions;
        actions.ask = [&](const char* text, UINT) {
            script.asked.push_back(text);
            return next < script.answers.size() ? script.answers[next++] : IDYES;
        };
        actions.saveModel = [&] { ++script.modelSaves; };
        actions.saveOffsets = [&] { ++script.offsetSaves; };
        return state.AskBeforeClose(unsent, actions);
    };
    CModelInfoListState offsets;
    offsets.OnRowChanged("OFFSET", true);
    offsets.OnRowChanged("MODEL", false);
    offsets.OnSent();
    Script script{{}, {IDYES}};
    EXPECT_TRUE(close(offsets, false, script));
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0], "Offsets have not been saved to NVM.  Save now?");
    EXPECT_EQ(script.offsetSaves, 1);

    CModelInfoListState model;
    model.OnRowChanged("IC", true);
    model.OnSent();
    EXPECT_TRUE(model.IsModelUnsaved());
    Script cancel{{}, {IDYES, IDCANCEL}};
    EXPECT_FALSE(close(model, true, cancel));
    EXPECT_EQ(cancel.asked.size(), 2u);
    EXPECT_EQ(cancel.modelSaves, 0);
    Script keep{{}, {IDNO}};
    EXPECT_FALSE(close(model, true, keep)) << "No to abandoning keeps the window";
    EXPECT_EQ(keep.asked.size(), 1u);
}

}  // namespace
