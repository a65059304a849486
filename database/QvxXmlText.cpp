#include "QvxXmlText.h"

#include <cstdlib>
#include <algorithm>
#include <cstring>

CString QvxXmlEscape(const CString& text)
{
    CString out;
    for (const char ch : text.str()) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += ch;
        }
    }
    return out;
}

CString QvxXmlUnescape(const CString& text)
{
    static const struct {
        const char* entity;
        char ch;
    } kNamed[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    const std::string& in = text.str();
    CString out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '&') {
            out += in[i];
            continue;
        }
        bool done = false;
        for (const auto& named : kNamed) {
            const size_t length = std::strlen(named.entity);
            if (in.compare(i, length, named.entity) == 0) {
                out += named.ch;
                i += length - 1;
                done = true;
                break;
            }
        }
        if (!done && i + 2 < in.size() && in[i + 1] == '#') {
            const size_t semicolon = in.find(';', i);
            if (semicolon != std::string::npos && semicolon - i <= 8) {
                const bool hex = in[i + 2] == 'x' || in[i + 2] == 'X';
                const std::string digits = in.substr(i + (hex ? 3 : 2), semicolon - i - (hex ? 3 : 2));
                char* stop = nullptr;
                const long code = std::strtol(digits.c_str(), &stop, hex ? 16 : 10);
                if (!digits.empty() && *stop == '\0' && code > 0 && code < 256) {
                    out += static_cast<char>(code);
                    i = semicolon;
                    done = true;
                }
            }
        }
        if (!done)
            out += '&';
    }
    return out;
}

QvxXmlFind QvxFindXmlElement(const CString& text, const char* name, int start, CString& content, CString& attributes,
                             int& end)
{
    const std::string& in = text.str();
    const std::string opening = std::string("<") + name;
    const std::string closing = std::string("</") + name + ">";
    for (size_t at = in.find(opening, static_cast<size_t>(std::max(start, 0))); at != std::string::npos;
         at = in.find(opening, at + 1)) {
        const size_t afterName = at + opening.size();
        if (afterName >= in.size())
            return QvxXmlFind::cut;
        const char next = in[afterName];
        if (next != '>' && next != '/' && next != ' ' && next != '\t' && next != '\r' && next != '\n')
            continue;  // a longer name that begins the same
        const size_t tagEnd = in.find('>', afterName);
        if (tagEnd == std::string::npos)
            return QvxXmlFind::cut;
        const bool empty = in[tagEnd - 1] == '/';
        attributes = CString(in.substr(afterName, tagEnd - afterName - (empty ? 1 : 0)));
        if (empty) {
            content.Empty();
            end = static_cast<int>(tagEnd + 1);
            return QvxXmlFind::found;
        }
        const size_t close = in.find(closing, tagEnd + 1);
        if (close == std::string::npos)
            return QvxXmlFind::cut;
        content = CString(in.substr(tagEnd + 1, close - tagEnd - 1));
        end = static_cast<int>(close + closing.size());
        return QvxXmlFind::found;
    }
    return QvxXmlFind::missing;
}
