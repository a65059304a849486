// CQvxGuiItemMessageQueue: messages from one window to every open window of a
// class, each handed over once its delay has passed. The queue owns its records.
#pragma once

#include "foundation/HPTimer.h"
#include "platform/core/List.h"
#include "platform/core/String.h"

struct QvxGuiItemMessage {
    CString m_targetClass;
    CString m_text;
    double m_delay = 0.0;
    CHPTimer m_timer;  // started when the record is made
};

class CQvxGuiItemMessageQueue : public CList<QvxGuiItemMessage*, QvxGuiItemMessage*> {
public:
    CQvxGuiItemMessageQueue() = default;
    ~CQvxGuiItemMessageQueue() override;
    CQvxGuiItemMessageQueue(const CQvxGuiItemMessageQueue&) = delete;
    CQvxGuiItemMessageQueue& operator=(const CQvxGuiItemMessageQueue&) = delete;

    void Queue(const char* targetClass, const char* text, double delaySeconds);
    // The oldest record whose delay has passed, taken out of the queue (the
    // caller deletes it), or null when none is due.
    QvxGuiItemMessage* TakeDueMessage();
    void DeleteAll();
};
