#include "DialogTemplate.h"

#include "ControlIdNames.h"

#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <mutex>
#include <string>

#include "UiTypes.h"
#include "platform/core/SpecialFolders.h"
#include "platform/core/StdioFile.h"

namespace {

struct Token {
    CString text;
    bool quoted;
};

bool Tokenize(const CString& line, std::vector<Token>& tokens, CString& error)
{
    const std::string& s = line.str();
    size_t i = 0;
    while (i < s.size()) {
        if (std::isspace(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < s.size()) {
                if (s[i] == '"') {
                    if (i + 1 < s.size() && s[i + 1] == '"') {
                        text += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                text += s[i++];
            }
            if (!closed) {
                error = "unterminated text";
                return false;
            }
            tokens.push_back({CString(text), true});
            continue;
        }
        size_t start = i;
        while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '"')
            ++i;
        tokens.push_back({CString(s.substr(start, i - start)), false});
    }
    return true;
}

bool ParseNumber(const CString& text, long& value)
{
    if (text.IsEmpty())
        return false;
    char* end = nullptr;
    value = std::strtol(text, &end, 0);
    return end && *end == '\0';
}

bool ParseId(const CString& text, int& id)
{
    static const std::map<std::string, int> kNamed = {{"IDOK", 1},  {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4},
                                                       {"IDIGNORE", 5}, {"IDYES", 6},  {"IDNO", 7},    {"IDC_STATIC", -1}};
    auto named = kNamed.find(text.str());
    if (named != kNamed.end()) {
        id = named->second;
        return true;
    }
    if (kvui::LookUpControlIdName(text, id))
        return id >= -1 && id <= 0xFFFF;
    long value = 0;
    if (!ParseNumber(text, value) || value < -1 || value > 0xFFFF)
        return false;
    id = static_cast<int>(value);
    return true;
}

struct KindSpec {
    ControlKind kind;
    DWORD style;
};

const std::map<std::string, KindSpec>& Kinds()
{
    static const std::map<std::string, KindSpec> kinds = {
        {"PUSHBUTTON", {ControlKind::Button, BS_PUSHBUTTON | WS_TABSTOP}},
        {"DEFPUSHBUTTON", {ControlKind::Button, BS_DEFPUSHBUTTON | WS_TABSTOP}},
        {"CHECKBOX", {ControlKind::Button, BS_AUTOCHECKBOX | WS_TABSTOP}},
        {"RADIOBUTTON", {ControlKind::Button, BS_AUTORADIOBUTTON}},
        {"OWNERDRAWBUTTON", {ControlKind::Button, BS_OWNERDRAW | WS_TABSTOP}},
        {"GROUPBOX", {ControlKind::GroupBox, BS_GROUPBOX}},
        {"LTEXT", {ControlKind::Static, SS_LEFT | WS_GROUP}},
        {"CTEXT", {ControlKind::Static, SS_CENTER | WS_GROUP}},
        {"RTEXT", {ControlKind::Static, SS_RIGHT | WS_GROUP}},
        {"EDITTEXT", {ControlKind::Edit, ES_LEFT | WS_BORDER | WS_TABSTOP}},
        {"COMBOBOX", {ControlKind::ComboBox, CBS_DROPDOWNLIST | WS_TABSTOP}},
        {"LISTBOX", {ControlKind::ListBox, LBS_NOTIFY | WS_BORDER | WS_TABSTOP}},
        {"LISTVIEW", {ControlKind::ListView, LVS_REPORT | WS_BORDER | WS_TABSTOP}},
        {"PROGRESS", {ControlKind::Progress, 0}},
        {"SPIN", {ControlKind::Spin, UDS_ARROWKEYS}},
        {"TAB", {ControlKind::Tab, WS_TABSTOP}},
        {"RICHEDIT", {ControlKind::RichEdit, ES_MULTILINE | WS_BORDER | WS_TABSTOP}},
        {"ICON", {ControlKind::Static, SS_CENTER}},
        {"CUSTOM", {ControlKind::Window, 0}},
    };
    return kinds;
}

// Style words: a word sets its bits; NOT before a word clears them.
bool ApplyStyleWord(const CString& word, DWORD& style, DWORD& exStyle, bool clear)
{
    static const std::map<std::string, DWORD> kWords = {
        {"GROUP", WS_GROUP},          {"TABSTOP", WS_TABSTOP},         {"DISABLED", WS_DISABLED},
        {"BORDER", WS_BORDER},        {"VSCROLL", WS_VSCROLL},         {"HSCROLL", WS_HSCROLL},
        {"MULTILINE", ES_MULTILINE},  {"READONLY", ES_READONLY},       {"PASSWORD", ES_PASSWORD},
        {"NUMBER", ES_NUMBER},        {"WANTRETURN", ES_WANTRETURN},   {"AUTOHSCROLL", ES_AUTOHSCROLL},
        {"AUTOVSCROLL", ES_AUTOVSCROLL}, {"UPPERCASE", ES_UPPERCASE},  {"RIGHT", ES_RIGHT},
        {"CENTER", ES_CENTER},        {"NOTIFY", SS_NOTIFY},           {"SUNKEN", SS_SUNKEN},
        {"SORT", CBS_SORT},           {"SINGLESEL", LVS_SINGLESEL},    {"SHOWSELALWAYS", LVS_SHOWSELALWAYS},
        {"NOSORTHEADER", LVS_NOSORTHEADER}, {"SMOOTH", PBS_SMOOTH},    {"SETBUDDYINT", UDS_SETBUDDYINT},
        {"AUTOBUDDY", UDS_AUTOBUDDY}, {"ALIGNRIGHT", UDS_ALIGNRIGHT},  {"PUSHLIKE", BS_PUSHLIKE},
        {"POPUP", WS_POPUP},          {"CHILD", WS_CHILD},             {"CAPTION", WS_CAPTION},
        {"SYSMENU", WS_SYSMENU},      {"THICKFRAME", WS_THICKFRAME},   {"MODALFRAME", DS_MODALFRAME},
        {"CENTERED", DS_CENTER},      {"VISIBLE", WS_VISIBLE},
    };
    DWORD bits = 0;
    if (word == "HIDDEN") {
        bits = WS_VISIBLE;
        clear = !clear;
    } else if (word == "CLIENTEDGE") {
        if (clear) exStyle &= ~WS_EX_CLIENTEDGE;
        else exStyle |= WS_EX_CLIENTEDGE;
        return true;
    } else if (auto found = kWords.find(word.str()); found != kWords.end()) {
        bits = found->second;
    } else {
        long value = 0;
        if (!ParseNumber(word, value))
            return false;
        bits = static_cast<DWORD>(value);
    }
    if (clear)
        style &= ~bits;
    else
        style |= bits;
    return true;
}

bool ParseStyleWords(const std::vector<Token>& tokens, size_t from, ControlKind kind, DWORD& style, DWORD& exStyle,
                     CString& error)
{
    bool clear = false;
    for (size_t i = from; i < tokens.size(); ++i) {
        const CString& word = tokens[i].text;
        if (tokens[i].quoted) {
            error = "a text where a style word was expected";
            return false;
        }
        if (word == "NOT") {
            clear = true;
            continue;
        }
        if (kind == ControlKind::Button && (word == "MANUAL" || word == "3STATE" || word == "OWNERDRAW")) {
            const DWORD type = style & BS_TYPEMASK;
            DWORD next = type;
            if (word == "OWNERDRAW") next = BS_OWNERDRAW;
            else if (word == "3STATE") next = type == BS_CHECKBOX ? BS_3STATE : BS_AUTO3STATE;
            else if (type == BS_AUTOCHECKBOX) next = BS_CHECKBOX;
            else if (type == BS_AUTORADIOBUTTON) next = BS_RADIOBUTTON;
            else if (type == BS_AUTO3STATE) next = BS_3STATE;
            style = (style & ~BS_TYPEMASK) | next;
            continue;
        }
        if (kind == ControlKind::ComboBox && (word == "DROPDOWN" || word == "DROPDOWNLIST" || word == "SIMPLE")) {
            style = (style & ~3u) | (word == "DROPDOWN" ? CBS_DROPDOWN : word == "SIMPLE" ? CBS_SIMPLE : CBS_DROPDOWNLIST);
            continue;
        }
        if (kind == ControlKind::ListView && word == "CHECKBOXES") {
            exStyle |= LVS_EX_CHECKBOXES;
            continue;
        }
        if (kind == ControlKind::ListView && word == "FULLROWSELECT") {
            exStyle |= LVS_EX_FULLROWSELECT;
            continue;
        }
        if (kind == ControlKind::ListView && word == "GRIDLINES") {
            exStyle |= LVS_EX_GRIDLINES;
            continue;
        }
        if (!ApplyStyleWord(word, style, exStyle, clear)) {
            error = CString("unknown style word '") + word + "'";
            return false;
        }
        clear = false;
    }
    return true;
}

bool ParseBox(const std::vector<Token>& tokens, size_t at, int& x, int& y, int& cx, int& cy, CString& error)
{
    long v[4];
    for (int i = 0; i < 4; ++i) {
        if (at + i >= tokens.size() || tokens[at + i].quoted || !ParseNumber(tokens[at + i].text, v[i])) {
            error = "expected x, y, width and height";
            return false;
        }
    }
    if (v[2] < 0 || v[3] < 0 || v[0] < -10000 || v[1] < -10000 || v[0] > 10000 || v[1] > 10000 || v[2] > 10000 ||
        v[3] > 10000) {
        error = "position or size out of range";
        return false;
    }
    x = static_cast<int>(v[0]);
    y = static_cast<int>(v[1]);
    cx = static_cast<int>(v[2]);
    cy = static_cast<int>(v[3]);
    return true;
}

bool ParseControl(const std::vector<Token>& tokens, DialogControlTemplate& control, CString& error)
{
    auto kind = Kinds().find(tokens[0].text.str());
    if (kind == Kinds().end()) {
        error = CString("unknown line '") + tokens[0].text + "'";
        return false;
    }
    control.kind = kind->second.kind;
    control.style = kind->second.style | WS_CHILD | WS_VISIBLE;
    if (tokens.size() < 7) {
        error = "a control needs an id, x, y, width, height and a text";
        return false;
    }
    if (tokens[1].quoted || !ParseId(tokens[1].text, control.id)) {
        error = CString("bad control id '") + tokens[1].text + "'";
        return false;
    }
    if (!ParseBox(tokens, 2, control.x, control.y, control.cx, control.cy, error))
        return false;
    if (!tokens[6].quoted) {
        error = "the control's text must be quoted";
        return false;
    }
    control.text = tokens[6].text;
    std::vector<Token> words(tokens.begin(), tokens.begin() + 7);
    for (size_t i = 7; i < tokens.size(); ++i) {
        if (tokens[i].quoted || tokens[i].text != "FONT") {
            words.push_back(tokens[i]);
            continue;
        }
        long size = 0;
        if (i + 2 >= tokens.size() || tokens[i + 1].quoted || !ParseNumber(tokens[i + 1].text, size) || size <= 0 ||
            size > 72 || !tokens[i + 2].quoted) {
            error = "expected FONT size \"face\" in the control's style";
            return false;
        }
        control.pointSize = static_cast<int>(size);
        control.faceName = tokens[i + 2].text;
        i += 2;
    }
    return ParseStyleWords(words, 7, control.kind, control.style, control.exStyle, error);
}

}  // namespace

bool ParseDialogTemplates(const char* text, std::vector<DialogTemplate>& templates, CString& error)
{
    std::vector<DialogTemplate> parsed;
    DialogTemplate* open = nullptr;
    const CString all(text ? text : "");
    int lineNumber = 0;
    int start = 0;
    auto fail = [&](const CString& why) {
        error.Format("line %d: %s", lineNumber, why.GetString());
        return false;
    };
    while (start <= all.GetLength()) {
        int end = all.Find('\n', start);
        if (end < 0)
            end = all.GetLength();
        CString line = all.Mid(start, end - start);
        start = end + 1;
        ++lineNumber;
        line.Trim();
        if (line.IsEmpty() || line[0] == '#') {
            if (end >= all.GetLength()) break;
            continue;
        }
        std::vector<Token> tokens;
        CString why;
        if (!Tokenize(line, tokens, why))
            return fail(why);
        const CString& word = tokens[0].text;
        if (word == "DIALOG") {
            if (open)
                return fail("DIALOG inside a dialog (END missing)");
            int id = 0;
            if (tokens.size() != 7 || tokens[1].quoted || !ParseId(tokens[1].text, id) || id <= 0)
                return fail("expected DIALOG id x y width height \"caption\"");
            DialogTemplate t;
            t.id = static_cast<UINT>(id);
            if (!ParseBox(tokens, 2, t.x, t.y, t.cx, t.cy, why))
                return fail(why);
            if (!tokens[6].quoted)
                return fail("the caption must be quoted");
            t.caption = tokens[6].text;
            t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            for (const auto& existing : parsed)
                if (existing.id == t.id)
                    return fail("dialog id used twice");
            parsed.push_back(t);
            open = &parsed.back();
        } else if (!open) {
            return fail(CString("'") + word + "' outside a dialog");
        } else if (word == "END") {
            if (tokens.size() != 1)
                return fail("END takes nothing");
            open = nullptr;
        } else if (word == "FONT") {
            long size = 0;
            if (tokens.size() != 3 || !ParseNumber(tokens[1].text, size) || size <= 0 || size > 72 || !tokens[2].quoted)
                return fail("expected FONT size \"face\"");
            open->pointSize = static_cast<int>(size);
            open->faceName = tokens[2].text;
        } else if (word == "MENU") {
            int id = 0;
            if (tokens.size() != 2 || tokens[1].quoted || !ParseId(tokens[1].text, id) || id <= 0)
                return fail("expected MENU id");
            open->menuId = static_cast<UINT>(id);
        } else if (word == "STYLE") {
            DWORD ex = 0;
            open->style = 0;
            if (!ParseStyleWords(tokens, 1, ControlKind::Dialog, open->style, ex, why))
                return fail(why);
        } else {
            DialogControlTemplate control;
            if (!ParseControl(tokens, control, why))
                return fail(why);
            open->controls.push_back(control);
        }
        if (end >= all.GetLength())
            break;
    }
    if (open) {
        error.Format("dialog %u: END missing", open->id);
        return false;
    }
    templates.insert(templates.end(), parsed.begin(), parsed.end());
    return true;
}

// ---------------------------------------------------------------------------
namespace {
std::mutex g_templatesMutex;
std::map<UINT, DialogTemplate> g_templates;
bool g_folderRead = false;
CString g_resourceErrors;

bool IsFolder(const CString& path)
{
    DIR* dir = opendir(path);
    if (!dir)
        return false;
    closedir(dir);
    return true;
}

void ReadFolderLocked()
{
    if (g_folderRead)
        return;
    g_folderRead = true;
    g_resourceErrors += kvui::ControlIdNameClashes();
    const CString folder = AfxGetResourceFolder();
    DIR* dir = opendir(folder);
    if (!dir)
        return;
    std::vector<CString> files;
    while (dirent* entry = readdir(dir)) {
        const CString name(entry->d_name);
        if (name.GetLength() > 4 && name.Right(4).CompareNoCase(".dlg") == 0)
            files.push_back(name);
    }
    closedir(dir);
    for (const CString& name : files) {
        CStdioFile file;
        if (!file.Open(folder + "/" + name, CFile::modeRead | CFile::typeText)) {
            g_resourceErrors += name + ": cannot be read\n";
            continue;
        }
        CString text, line;
        while (file.ReadString(line))
            text += line + "\n";
        std::vector<DialogTemplate> parsed;
        CString error;
        if (!ParseDialogTemplates(text, parsed, error)) {
            g_resourceErrors += name + ", " + error + "\n";
            continue;
        }
        // Two files giving one id would make the window open whichever the folder listed first.
        for (auto& t : parsed)
            if (!g_templates.emplace(t.id, t).second)
                g_resourceErrors += name + ": dialog " + CString(std::to_string(t.id).c_str()) + " is defined twice\n";
    }
}
}  // namespace

CString AfxGetResourceFolder()
{
    if (const char* env = std::getenv("KORVANE_RESOURCES"); env && *env)
        return env;
    const CString module = AfxGetModuleFolder();
    for (const char* relative : {"/resources", "/../resources", "/../../resources"})
        if (IsFolder(module + relative))
            return module + relative;
    if (const char* source = std::getenv("KORVANE_SOURCE_DIR"); source && *source)
        return CString(source) + "/resources";
#ifdef KV_SOURCE_RESOURCES
    if (module.Find(KV_BUILD_DIR "/") == 0)
        return KV_SOURCE_RESOURCES;
#endif
    return module + "/resources";
}

bool AfxRegisterDialogTemplates(const char* text, CString* error)
{
    std::vector<DialogTemplate> parsed;
    CString why;
    if (!ParseDialogTemplates(text, parsed, why)) {
        if (error)
            *error = why;
        return false;
    }
    std::lock_guard<std::mutex> guard(g_templatesMutex);
    for (auto& t : parsed)
        g_templates[t.id] = t;
    return true;
}

const DialogTemplate* AfxFindDialogTemplate(UINT id)
{
    std::lock_guard<std::mutex> guard(g_templatesMutex);
    ReadFolderLocked();
    auto found = g_templates.find(id);
    return found == g_templates.end() ? nullptr : &found->second;
}

CString AfxGetResourceErrors()
{
    std::lock_guard<std::mutex> guard(g_templatesMutex);
    ReadFolderLocked();
    return g_resourceErrors;
}
