// One macro of the preprocessor's database: a name alone, a name with a value,
// or a macro with parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    // Appends the replacement of one use of this macro to out. call is the
    // text after the name; consumed gets how much of it the use takes (its
    // argument list). args is room for the arguments, kept by the caller from
    // use to use. 0 with the error set (out may then hold a part).
    int Expand(std::string_view call, std::string& out, int& consumed, std::vector<std::string_view>& args);
    // Whether both spell the same definition.
    bool SameDefinition(const CMacroDefEntry& other) const;

    void Serialize(CArchive& ar) override;

    // The comma-separated list whose "(" is at open; end gets the position after its ")".
    static bool ReadList(const CString& text, int open, CStringArray& items, int& end);
    // The same over a view: the items are trimmed views into text.
    static bool ReadList(std::string_view text, size_t open, std::vector<std::string_view>& items, size_t& end);
    // Letters, digits and "_"; asked for every character a substitution scans.
    static bool IsNameChar(char c)
    {
        return static_cast<unsigned char>((c | 0x20) - 'a') < 26 || static_cast<unsigned char>(c - '0') < 10 || c == '_';
    }

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
    void AppendReplacement(const std::vector<std::string_view>& args, std::string& out) const;
    void SplitHead(const CString& text);
};
