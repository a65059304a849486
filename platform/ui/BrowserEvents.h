// What a browser control tells its owner.
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

class CBrowserEvents {
public:
    virtual ~CBrowserEvents() = default;
    // Before a link or Navigate leaves the page; setting *cancel keeps the page.
    virtual void OnBeforeNavigate(const CString& /*url*/, BOOL* /*cancel*/) {}
    virtual void OnDocumentComplete(const CString& /*url*/) {}
    virtual void OnTitleChange(const CString& /*title*/) {}
};
