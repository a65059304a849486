// CParamParse: reads the parameter list of a command in function-call form,
// Name(1, -2.5, "text"), into typed variables of the caller. Items are
// separated by blanks and commas in any number; the name is not looked at and
// anything after the last ")" is ignored.
#pragma once

#include <initializer_list>

#include "platform/core/String.h"

class CParamParse {
public:
    enum Type { typeChar = 0, typeShort, typeInt, typeLong, typeFloat, typeDouble, typeText };
    enum Result {
        ok = 0,
        errOutOfMemory = 1,
        errOpenParenthesis = 2,
        errCloseParenthesis = 3,
        errEndOfLine = 4,
        errUnknownType = 5,
        errMissingParameters = 6,
        errTooManyParameters = 7,
        errQuote = 8,
    };
    static constexpr int kMaxTextLength = 9999;

    // Where one parameter goes. Numbers are read with strtod and stored
    // truncated toward zero for the integer types (a char keeps the low byte
    // of the 32-bit value); a text must be quoted and cannot hold a quote.
    class Target {
    public:
        Target(char& v) : m_type(typeChar), m_dest(&v) {}
        Target(short& v) : m_type(typeShort), m_dest(&v) {}
        Target(int& v) : m_type(typeInt), m_dest(&v) {}
        Target(long& v) : m_type(typeLong), m_dest(&v) {}
        Target(float& v) : m_type(typeFloat), m_dest(&v) {}
        Target(double& v) : m_type(typeDouble), m_dest(&v) {}
        Target(CString& v) : m_type(typeText), m_dest(&v) {}
        // For type codes that come from data; a code outside the table fails
        // the parse with errUnknownType when its turn comes.
        static Target ByCode(int type, void* dest) { return Target(type, dest); }

        int GetType() const { return m_type; }
        void* GetDest() const { return m_dest; }

    private:
        Target(int type, void* dest) : m_type(type), m_dest(dest) {}
        int m_type;
        void* m_dest;
    };

    virtual ~CParamParse() = default;

    // 0 on success or an error code; on an error the targets already filled keep their values.
    static int ParseParams(const char* text, std::initializer_list<Target> targets);
    static int ParseParams(const char* text, const Target* targets, int count);
    static CString GetErrorString(int code);
};
