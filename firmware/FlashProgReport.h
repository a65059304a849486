// CFlashProgReport: one message of a flash-update library, queued on the
// library's thread and delivered on the programmer's.
#pragma once

#include "platform/core/String.h"

class CFlashProgReport {
public:
    CFlashProgReport() = default;
    CFlashProgReport(int kind, int value, const CString& text) : m_kind(kind), m_value(value), m_text(text) {}

    int m_kind = 0;
    int m_value = 0;
    CString m_text;
};
