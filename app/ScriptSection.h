// CScriptSection: one section of a script: the command lines that bring the
// program into one working state, with a title and two texts for the operator.
#pragma once

#include "platform/core/String.h"
#include "platform/core/Collections.h"

class CDPropertyList;

class CScriptSection {
public:
    CScriptSection() = default;
    CScriptSection(const CScriptSection& other) = default;
    CScriptSection& operator=(const CScriptSection& other) = default;
    virtual ~CScriptSection() = default;

    // Dialog 378; 1 on OK with the four texts taken, 0 on Cancel.
    int Edit();
    // The five properties of section `index`; a missing one leaves its member.
    int ReadProperties(int index, const CDPropertyList& bag);
    int WriteProperties(int index, CDPropertyList& bag) const;
    // Whether the bag holds any property of section `index`.
    static bool HasAnyProperty(int index, const CDPropertyList& bag);
    // The script's lines, trimmed, empty ones dropped.
    void GetLines(CStringList& lines) const;
    // Every line followed by "\r\n", the last one too.
    void SetLines(const CStringList& lines);

    CString m_title = "New Script Section";
    CString m_description;
    CString m_detail;
    CString m_script;
    CString m_layoutName;
};
