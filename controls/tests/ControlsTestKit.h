// Shared pieces of the list and combo tests: a parent window that records the
// grid's messages, and rendering a window into a bitmap.
#pragma once

#include "testing/WindowPixels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "controls/ReportCtrl.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/DC.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"

namespace kvcontrolstest {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message& o) const { return message == o.message && wParam == o.wParam && lParam == o.lParam; }
};

inline void PrintTo(const Message& m, std::ostream* os)
{
    *os << std::hex << "0x" << m.message << std::dec << "(" << static_cast<long long>(m.wParam) << ", " << m.lParam << ")";
}

class CRecordingParent : public CWnd {
public:
    std::vector<Message> messages;
    std::vector<std::pair<UINT, UINT>> commands;  // id, code
    CRecordingParent() { CreateEx(0, nullptr, "Parent", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 320), nullptr, 0); }

protected:
    LRESULT Record(UINT message, WPARAM wParam, LPARAM lParam)
    {
        messages.push_back({message, wParam, lParam});
        return 0;
    }
    LRESULT OnCheck(WPARAM w, LPARAM l) { return Record(0xA710, w, l); }
    LRESULT OnSorted(WPARAM w, LPARAM l) { return Record(0xA711, w, l); }
    LRESULT OnChanged(WPARAM w, LPARAM l) { return Record(0xA712, w, l); }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.emplace_back(LOWORD(static_cast<DWORD>(wParam)), HIWORD(static_cast<DWORD>(wParam)));
        return CWnd::OnCommand(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};


inline CPoint CellCentre(CListCtrl& list, int row, int column)
{
    CRect cell;
    list.GetSubItemRect(row, column, LVIR_LABEL, cell);
    return cell.CenterPoint();
}

}  // namespace kvcontrolstest
