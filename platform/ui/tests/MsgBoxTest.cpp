#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <thread>

#include "testing/UiPrinters.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"

namespace {
// Presses `button` in the next real message box once it is open.
void PressInNextBox(QMessageBox::StandardButton button)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->button(button))
            return;
        box->button(button)->click();
        poll->deleteLater();
    });
    poll->start(2);
}

class ShownBoxes {
public:
    ShownBoxes() { AfxSetScriptedMode(FALSE); }
    ~ShownBoxes() { AfxSetScriptedMode(TRUE); }
};
}  // namespace

TEST(MsgBoxTest, ScriptedModeAnswersWithoutShowingAndLogs)
{
    AfxTakeScriptedMessageLog();
    AfxQueueScriptedAnswer(IDNO);
    EXPECT_EQ(AfxMessageBox("Save changes?", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox("Really?", MB_YESNO | MB_DEFBUTTON2), IDNO) << "the default button answers";
    EXPECT_EQ(AfxEngineMessageBox("From the engine", "Scan", MB_OK), IDOK);
    const auto log = AfxTakeScriptedMessageLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "MSGBOX:Save changes?");
    EXPECT_EQ(log[2], "MSGBOX:From the engine");
}

TEST(MsgBoxTest, RealBoxReturnsTheButtonPressed)
{
    ShownBoxes shown;
    PressInNextBox(QMessageBox::Retry);
    EXPECT_EQ(AfxMessageBox("Link lost", MB_RETRYCANCEL | MB_ICONEXCLAMATION), IDRETRY);
}

TEST(MsgBoxTest, WorkersNoticeDoesNotWaitAndItsQuestionIsAnsweredOnTheGuiThread)
{
    ShownBoxes shown;
    std::atomic<int> notice{0};
    std::thread noticer([&] { notice = AfxEngineMessageBox("Scan finished", "Scan", MB_OK); });
    noticer.join();  // returns while no GUI thread has run yet
    EXPECT_EQ(notice.load(), IDOK);
    PressInNextBox(QMessageBox::Ok);  // the posted notice shows when the GUI thread runs

    std::atomic<int> answer{0};
    PressInNextBox(QMessageBox::No);
    std::thread asker([&] { answer = AfxEngineMessageBox("Replace drive?", "Scan", MB_YESNO); });
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return answer.load() != 0; }));
    asker.join();
    EXPECT_EQ(answer.load(), IDNO);
}
