#include "StringTable.h"

#include <map>
#include <mutex>

#include "ResourceText.h"

namespace {
std::mutex g_mutex;
std::map<UINT, CString> g_strings;
CString g_errors;
bool g_loaded = false;

bool Parse(const char* text, std::map<UINT, CString>& out, CString& error)
{
    std::vector<ResourceLine> lines;
    if (!SplitResourceText(text, lines, error))
        return false;
    bool open = false;
    for (const ResourceLine& line : lines) {
        UINT id = 0;
        if (!open && line.words.size() == 1 && line.words[0] == "STRINGTABLE") {
            open = true;
        } else if (open && line.words.size() == 1 && line.words[0] == "END") {
            open = false;
        } else if (open && line.words.size() == 2 && ParseResourceId(line.words[0], id)) {
            out[id] = line.words[1];
        } else {
            error.Format("line %d: expected STRINGTABLE, an id and a quoted text, or END", line.number);
            return false;
        }
    }
    if (open) {
        error = "STRINGTABLE not closed with END";
        return false;
    }
    return true;
}

void LoadFolder()
{
    if (g_loaded)
        return;
    g_loaded = true;
    for (const auto& [name, text] : AfxReadResourceFiles("str")) {
        std::map<UINT, CString> strings;
        CString error;
        if (!Parse(text, strings, error)) {
            g_errors += name + ", " + error + "\n";
            continue;
        }
        g_strings.insert(strings.begin(), strings.end());
    }
}
}  // namespace

BOOL AfxLoadString(UINT id, CString& text)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    LoadFolder();
    const auto it = g_strings.find(id);
    text = it == g_strings.end() ? CString() : it->second;
    return it != g_strings.end();
}

bool AfxRegisterStrings(const char* text, CString* error)
{
    std::map<UINT, CString> strings;
    CString why;
    if (!Parse(text, strings, why)) {
        if (error)
            *error = why;
        return false;
    }
    std::lock_guard<std::mutex> guard(g_mutex);
    LoadFolder();
    for (auto& [id, value] : strings)
        g_strings[id] = value;
    return true;
}

CString AfxGetStringTableErrors()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    LoadFolder();
    return g_errors;
}

CString AfxGetCommandPrompt(UINT id)
{
    CString text;
    AfxLoadString(id, text);
    const int cut = text.Find('\n');
    return cut < 0 ? text : text.Left(cut);
}

CString AfxGetCommandTip(UINT id)
{
    CString text;
    AfxLoadString(id, text);
    const int cut = text.Find('\n');
    return cut < 0 ? CString() : text.Mid(cut + 1);
}
