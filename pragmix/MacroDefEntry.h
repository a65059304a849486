// One macro of the preprocessor's database: a name alone, a name with a value,
// or a macro with parameters.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/Object.h"
#include "platform/core/String.h"

class CMacroDefEntry : public CObject {
public:
    enum Kind { kindInvalid = 0, kindName = 1, kindValue = 2, kindParams = 3 };
    static constexpr const char* kClassName = "CMacroDefEntry";
    static constexpr WORD kSchema = 2;
    // A parameter's index travels in one character after this mark.
    static constexpr char kParamMark = '\x01';
    static constexpr int kMaxParams = 254;

    CMacroDefEntry() = default;
    CMacroDefEntry(const CMacroDefEntry& other);
    CMacroDefEntry& operator=(const CMacroDefEntry&) = delete;

    // Reads a definition ("NAME", "NAME value", "NAME(a,b) body"); 0 with the error set.
    int Parse(const CString& text);
    // The replacement of one use of this macro. call is the text after the
    // name; consumed gets how much of it the use takes (its argument list).
    // 0 with the error set.
    int Expand(const CString& call, CString& replacement, int& consumed);
    // Whether both spell the same definition.
    bool SameDefinition(const CMacroDefEntry& other) const;

    void Serialize(CArchive& ar) override;

    // The comma-separated list whose "(" is at open; end gets the position after its ")".
    static bool ReadList(const CString& text, int open, CStringArray& items, int& end);
    static bool IsNameChar(char c);

    int m_kind = kindInvalid;
    int m_error = 0;
    CString m_name;
    CString m_body;
    CString m_head;
    CString m_rest;
    CStringArray m_params;

private:
    int ParseParameters(const CString& text);
    void MarkParameters();
    CString Replacement(const CStringArray& args) const;
    void SplitHead(const CString& text);
};
