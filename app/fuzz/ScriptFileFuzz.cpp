// libFuzzer target for the script file and the tutorial's text files: any
// bytes read as a ".kvs" script, as "TutorIndex.dat" and as a tutorial file.
// Checked: no crash, no hang; a refused script holds no sections; a script
// never holds more sections than its file could hold; what a save of a read
// script would store reads back to the same sections.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/ScriptSectionList.h"
#include "app/TutorPageList.h"
#include "foundation/DPropertyList.h"
#include "testing/FuzzInputFile.h"

namespace {

// Texts are compared as the program passes them on, up to a zero byte: a value
// that holds one is stored only up to it.
bool Same(const CString& a, const CString& b) { return strcmp(a.GetString(), b.GetString()) == 0; }

bool SameSections(const CScriptSectionList& a, const CScriptSectionList& b)
{
    if (a.GetCount() != b.GetCount())
        return false;
    for (POSITION pa = a.GetHeadPosition(), pb = b.GetHeadPosition(); pa && pb;) {
        const CScriptSection* x = a.GetNext(pa);
        const CScriptSection* y = b.GetNext(pb);
        if (!Same(x->m_title, y->m_title) || !Same(x->m_description, y->m_description) ||
            !Same(x->m_detail, y->m_detail) || !Same(x->m_script, y->m_script) || !Same(x->m_layoutName, y->m_layoutName))
            return false;
    }
    return true;
}

void CheckScript(FuzzInputFile& input, size_t size)
{
    CScriptSectionList list;
    CString error;
    if (!list.LoadFile(input.Path(), error)) {
        if (list.GetCount() != 0 || error.IsEmpty())
            std::abort();
        return;
    }
    // Each property takes at least two bytes of the file.
    if (static_cast<size_t>(list.GetCount()) > size / 2)
        std::abort();
    // What a save would store reads back to the same sections.
    CDPropertyList bag;
    list.WriteProperties(bag);
    CScriptSectionList again;
    if (!again.ReadProperties(bag) || !SameSections(list, again))
        std::abort();
}

void CheckTutorialFiles(FuzzInputFile& input)
{
    CMapStringToString index;
    ReadTutorIndex(input.Path(), index);
    CTutorPageList pages;
    if (!pages.ReadFile(input.Path(), index))
        std::abort();
    for (const auto& [id, page] : pages.m_pageIds)
        if (page < 0 || page > pages.GetCount())
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    input.Put(data, size);
    CheckScript(input, size);
    CheckTutorialFiles(input);
    return 0;
}
