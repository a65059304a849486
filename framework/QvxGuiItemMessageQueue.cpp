#include "QvxGuiItemMessageQueue.h"

CQvxGuiItemMessageQueue::~CQvxGuiItemMessageQueue() { DeleteAll(); }

void CQvxGuiItemMessageQueue::Queue(const char* targetClass, const char* text, double delaySeconds)
{
    auto* message = new QvxGuiItemMessage;
    message->m_targetClass = targetClass ? targetClass : "";
    message->m_text = text ? text : "";
    message->m_delay = delaySeconds;
    message->m_timer.Restart();
    AddTail(message);
}

QvxGuiItemMessage* CQvxGuiItemMessageQueue::TakeDueMessage()
{
    for (POSITION pos = GetHeadPosition(); pos;) {
        const POSITION current = pos;
        QvxGuiItemMessage* message = GetNext(pos);
        if (message->m_timer.GetElapsedSeconds() >= message->m_delay) {
            RemoveAt(current);
            return message;
        }
    }
    return nullptr;
}

void CQvxGuiItemMessageQueue::DeleteAll()
{
    while (!IsEmpty())
        delete RemoveHead();
}
