#include "ColorDialog.h"

#include <QColorDialog>
#include <deque>
#include <mutex>

#include "MsgBox.h"
#include "WndImpl.h"

namespace {
std::mutex g_answerMutex;
std::deque<long> g_answers;

// Answered without showing anything: by the next queued answer, or in
// scripted mode without one by IDCANCEL. False when the user must answer.
bool AnswerFromScript(COLORREF& color, INT_PTR& result)
{
    std::unique_lock<std::mutex> guard(g_answerMutex);
    if (g_answers.empty()) {
        guard.unlock();
        if (!AfxIsScriptedMode())
            return false;
        result = IDCANCEL;
        return true;
    }
    const long answer = g_answers.front();
    g_answers.pop_front();
    result = answer < 0 ? IDCANCEL : IDOK;
    if (answer >= 0)
        color = static_cast<COLORREF>(answer);
    return true;
}
}  // namespace

namespace kvtest {
void QueueColorDialogAnswer(long color)
{
    std::lock_guard<std::mutex> guard(g_answerMutex);
    g_answers.push_back(color);
}
}  // namespace kvtest

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_color(initial), m_flags(flags), m_parent(parent)
{
}

INT_PTR CColorDialog::DoModal()
{
    INT_PTR scripted = IDCANCEL;
    if (AnswerFromScript(m_color, scripted))
        return scripted;
    QWidget* parent = m_parent && m_parent->GetImpl() ? m_parent->GetImpl()->widget->window() : nullptr;
    const QColor initial(GetRValue(m_color), GetGValue(m_color), GetBValue(m_color));
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return IDCANCEL;
    m_color = RGB(static_cast<BYTE>(chosen.red()), static_cast<BYTE>(chosen.green()), static_cast<BYTE>(chosen.blue()));
    return IDOK;
}
