#include "ResourceText.h"

#include <QIcon>
#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <sstream>

#include "Bitmap.h"
#include "DialogTemplate.h"
#include "WndImpl.h"

namespace {
bool ReadQuoted(const char*& p, CString& word)
{
    ++p;  // the opening quote
    for (;;) {
        if (*p == '\0' || *p == '\n' || *p == '\r')
            return false;
        if (*p == '"') {
            if (p[1] != '"') {
                ++p;
                return true;
            }
            p += 2;
            word += '"';
            continue;
        }
        if (*p == '\\' && (p[1] == 't' || p[1] == 'n')) {
            word += p[1] == 't' ? '\t' : '\n';
            p += 2;
            continue;
        }
        word += *p++;
    }
}
}  // namespace

bool SplitResourceText(const char* text, std::vector<ResourceLine>& lines, CString& error)
{
    lines.clear();
    int number = 1;
    const char* p = text ? text : "";
    while (*p) {
        ResourceLine line;
        line.number = number;
        while (*p == ' ' || *p == '\t')
            ++p;
        const bool comment = *p == '#';
        while (*p && *p != '\n') {
            if (comment || *p == '\r') {
                ++p;
                continue;
            }
            if (*p == ' ' || *p == '\t') {
                ++p;
                continue;
            }
            CString word;
            if (*p == '"') {
                if (!ReadQuoted(p, word)) {
                    error.Format("line %d: a quoted text is not closed", number);
                    return false;
                }
            } else {
                while (*p && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
                    word += *p++;
            }
            line.words.push_back(word);
        }
        if (*p == '\n')
            ++p;
        if (!line.words.empty())
            lines.push_back(std::move(line));
        ++number;
    }
    return true;
}

std::vector<std::pair<CString, CString>> AfxReadResourceFiles(const char* extension)
{
    std::vector<std::pair<CString, CString>> files;
    const CString folder = AfxGetResourceFolder();
    const CString suffix = CString(".") + extension;
    DIR* dir = opendir(folder);
    if (!dir)
        return files;
    while (dirent* entry = readdir(dir)) {
        const CString name = entry->d_name;
        if (name.GetLength() <= suffix.GetLength() || name.Right(suffix.GetLength()) != suffix)
            continue;
        std::ifstream in(std::string(folder + "/" + name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        files.emplace_back(name, CString(text.str().c_str()));
    }
    closedir(dir);
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.first.Compare(b.first) < 0; });
    return files;
}

bool ParseResourceId(const CString& word, UINT& id)
{
    if (word.IsEmpty() || word.GetLength() > 5)
        return false;
    UINT value = 0;
    for (int i = 0; i < word.GetLength(); ++i) {
        if (word[i] < '0' || word[i] > '9')
            return false;
        value = value * 10 + static_cast<UINT>(word[i] - '0');
    }
    if (value > 65535)
        return false;
    id = value;
    return true;
}

CString AfxGetBitmapResourcePath(UINT id)
{
    CString path;
    path.Format("%s/bitmaps/%u.png", AfxGetResourceFolder().GetString(), id);
    return path;
}

BOOL AfxLoadBitmapResource(CBitmap& bitmap, UINT id) { return bitmap.LoadImage(AfxGetBitmapResourcePath(id)); }

BOOL AfxSetWindowIcon(CWnd* window, UINT id)
{
    CWndImpl* impl = window ? window->GetImpl() : nullptr;
    if (!impl || !impl->widget)
        return FALSE;
    CString path;
    path.Format("%s/icons/%u.png", AfxGetResourceFolder().GetString(), id);
    QIcon icon(kvui::ToQ(path));
    if (icon.isNull() || icon.availableSizes().isEmpty())
        return FALSE;
    impl->widget->setWindowIcon(icon);
    return TRUE;
}

bool AfxFindTextResource(const char* extension, const char* what, UINT id, const ResourceParser& parse,
                         CString& error)
{
    for (const auto& [name, text] : AfxReadResourceFiles(extension)) {
        bool found = false;
        CString why;
        if (!parse(text, found, why)) {
            error = name + ", " + why;
            return false;
        }
        if (found)
            return true;
    }
    error.Format("%s %u not found", what, id);
    return false;
}

bool AfxParseTextResource(const char* text, const char* what, UINT id, const ResourceParser& parse, CString& error)
{
    bool found = false;
    if (!parse(text, found, error))
        return false;
    if (!found)
        error.Format("%s %u not found", what, id);
    return found;
}
