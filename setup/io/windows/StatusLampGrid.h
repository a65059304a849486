// CStatusLampGrid: lamps laid out in columns inside a frame of a status
// window, each lit while its mask meets the word shown. It stands in for the
// framework's register-bound lamp grid.
#pragma once

#include <memory>
#include <vector>

#include "controls/LampButton.h"

struct StatusLampColours {
    COLORREF onFace;
    COLORREF offFace;
    COLORREF onText;
    COLORREF offText;
};

class CStatusLampGrid {
public:
    void Add(DWORD mask, const char* text, const StatusLampColours& colours);
    // Creates the lamps in the frame's place, first id upwards.
    void Create(CWnd* parent, int frameId, int columns, UINT firstId);
    void ShowWord(DWORD word);
    // The lamp of a mask, or null.
    CLampButton* Find(DWORD mask) const;
    int GetCount() const { return static_cast<int>(m_lamps.size()); }
    CLampButton& GetLamp(int index) const { return *m_lamps[static_cast<size_t>(index)].lamp; }

private:
    struct Entry {
        DWORD mask;
        CString text;
        StatusLampColours colours;
        std::unique_ptr<CLampButton> lamp;
    };
    std::vector<Entry> m_lamps;
};
