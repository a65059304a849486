// What a gallery entry hands its pictures to: each Take() saves the window as a
// PNG through the program's own image export and remembers it for the index.
#pragma once

#include <string>
#include <vector>

class CWnd;

class GalleryShots {
public:
    struct Shot {
        std::string file;     // <entry>-<state>.png
        std::string entry;    // the window's gallery name
        std::string state;    // "empty", "filled", "editor open" ...
        std::string title;    // the window's title in the index
    };

    GalleryShots(std::string folder, std::string entry, std::string title = std::string());
    // Exports the window's client area as <folder>/<entry>-<state>.png; false (and a test
    // failure) when the export did not leave a picture.
    bool Take(CWnd* window, const std::string& state);
    // The same for a state with a drop-down open, which the export dialog would close by taking
    // the focus: saved by the export's own capture without its dialog.
    bool TakeOpen(CWnd* window, const std::string& state);
    const std::vector<Shot>& Taken() const { return m_taken; }

    // Every shot taken by this program, for the index page.
    static const std::vector<Shot>& All();
    // Writes <folder>/index.html listing the shots with their names; false when it could not.
    static bool WriteIndex(const std::string& folder);

private:
    bool Save(CWnd* window, const std::string& state, bool withDialog);
    std::string m_folder;
    std::string m_entry;
    std::string m_title;
    std::vector<Shot> m_taken;
};
