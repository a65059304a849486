#include "MessageBox.h"

#include <deque>
#include <mutex>

#include "DebugLog.h"

namespace {
std::mutex g_mutex;
MessageBoxHandler g_handler;
MessageBoxPoster g_poster;
std::deque<int> g_queuedAnswers;
std::vector<CString> g_log;

}  // namespace

int AfxScriptedMessageBox(const char* text, const char* /*caption*/, UINT type, UINT /*helpId*/)
{
    int answer;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (!g_queuedAnswers.empty()) {
            answer = g_queuedAnswers.front();
            g_queuedAnswers.pop_front();
        } else {
            answer = AfxDefaultButtonAnswer(type);
        }
        g_log.push_back(CString("MSGBOX:") + (text ? text : ""));
    }
    AfxDebugLog("MSGBOX:%s", text ? text : "");
    return answer;
}

int AfxDefaultButtonAnswer(UINT type)
{
    static const int kButtons[][3] = {{IDOK, IDOK, IDOK},          {IDOK, IDCANCEL, IDCANCEL},
                                      {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
                                      {IDYES, IDNO, IDNO},          {IDRETRY, IDCANCEL, IDCANCEL}};
    const UINT kind = type & MB_TYPEMASK;
    const UINT button = ((type & MB_DEFMASK) >> 8) & 3;
    if (kind >= _countof(kButtons) || button > 2)
        return IDOK;
    return kButtons[kind][button];
}

void AfxSetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_handler = std::move(handler);
}

int AfxEngineMessageBox(const char* text, const char* caption, UINT type, UINT helpId)
{
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return handler(text, caption, type, helpId);
    return AfxScriptedMessageBox(text, caption, type, helpId);
}

void AfxQueueScriptedAnswer(int answer)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_queuedAnswers.push_back(answer);
}

std::vector<CString> AfxTakeScriptedMessageLog()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    std::vector<CString> taken;
    taken.swap(g_log);
    return taken;
}

void AfxSetMessageBoxPoster(MessageBoxPoster poster)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_poster = std::move(poster);
}

void AfxPostEngineMessageBox(const char* text, const char* caption, UINT type)
{
    MessageBoxPoster poster;
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        poster = g_poster;
    }
    if (poster)
        poster(text ? text : "", caption ? caption : "", type);
    else
        AfxScriptedMessageBox(text, caption, type, 0);
}
