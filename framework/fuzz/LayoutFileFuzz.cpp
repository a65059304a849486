// libFuzzer target for the window layout file: any bytes loaded as a layout
// (its header, version, count and window records) into an open-window list whose
// one known window keeps only its property bag, as the scope window does.
// Checked: no crash, no hang, no object owned twice (the sanitizer sees the
// second delete), and a refused file leaves no window open.
#include <cstdint>
#include <cstdlib>

#include "framework/GuiFrameServices.h"
#include "framework/GuiUpdateItem.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/MessageBox.h"
#include "testing/FuzzInputFile.h"

namespace {

class CBagWindow : public CGuiUpdateItem {
public:
    CString GetGuiName() const override { return "CQvxScopeDlg"; }
    CString GetItemName() const override { return "Scope"; }
};

class CFuzzFrame : public CGuiFrameServices {
public:
    CGuiUpdateList* GetUpdateList() override { return &m_list; }
    CGuiUpdateDlgIdMap* GetDlgIdMap() override { return nullptr; }
    CGuiUpdateItem* GetScopeWindow() override { return &m_window; }

    CGuiUpdateList m_list;
    CBagWindow m_window;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CFuzzFrame* frame = [] {
        auto* made = new CFuzzFrame;
        CGuiFrameServices::Install(made);
        made->m_list.SetInteractive(0);
        return made;
    }();
    static FuzzInputFile input;
    const int loaded = frame->m_list.LoadLayout(input.Put(data, size));
    if (loaded != 1 && frame->m_list.GetCount() != 0)
        std::abort();
    // Every property the bag kept is whole and can be looked up.
    CDPropertyList& bag = frame->m_window.GetProperties();
    for (POSITION pos = bag.GetHeadPosition(); pos;) {
        CString value;
        const CDProperty* property = bag.GetNext(pos);
        if (property->m_name.str().find('\0') == std::string::npos && !bag.GetString(property->m_name, value))
            std::abort();
    }
    frame->m_list.RemoveItem(&frame->m_window);
    bag.RemoveAll();
    AfxTakeScriptedMessageLog();
    return 0;
}
