#include "GalleryShots.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "platform/ui/WinApp.h"
#include "testing/WindowShot.h"

namespace {
std::vector<GalleryShots::Shot>& Everything()
{
    static std::vector<GalleryShots::Shot> shots;
    return shots;
}

std::string Escaped(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch; break;
        }
    }
    return out;
}

std::string FileNamePart(const std::string& text)
{
    std::string out;
    for (char ch : text)
        out += (std::isalnum(static_cast<unsigned char>(ch)) || ch == '-') ? ch : '-';
    return out;
}
}  // namespace

GalleryShots::GalleryShots(std::string folder, std::string entry, std::string title)
    : m_folder(std::move(folder)), m_entry(std::move(entry)), m_title(title.empty() ? m_entry : std::move(title))
{
}

bool GalleryShots::Take(CWnd* window, const std::string& state) { return Save(window, state, true); }

bool GalleryShots::TakeOpen(CWnd* window, const std::string& state) { return Save(window, state, false); }

bool GalleryShots::Save(CWnd* window, const std::string& state, bool withDialog)
{
    AfxPumpMessages();
    const std::string file = m_entry + "-" + FileNamePart(state) + ".png";
    const std::filesystem::path path = std::filesystem::path(m_folder) / file;
    std::error_code error;
    std::filesystem::remove(path, error);
    const bool exported = window && (withDialog ? SaveWindowPng(window, path.string())
                                                : SaveWindowImageFile(window, path.string().c_str()) != 0);
    const bool there = std::filesystem::exists(path, error) && std::filesystem::file_size(path, error) > 0;
    EXPECT_TRUE(exported && there) << m_entry << " (" << state << ") was not exported to " << path;
    if (!exported || !there)
        return false;
    m_taken.push_back({file, m_entry, state, m_title});
    Everything().push_back(m_taken.back());
    return true;
}

const std::vector<GalleryShots::Shot>& GalleryShots::All() { return Everything(); }

bool GalleryShots::WriteIndex(const std::string& folder)
{
    const std::filesystem::path path = std::filesystem::path(folder) / "index.html";
    const std::filesystem::path temporary = std::filesystem::path(folder) / "index.html.tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Korvane window gallery</title>\n"
               "<style>body{font-family:sans-serif} figure{display:inline-block;margin:12px;vertical-align:top}"
               " img{border:1px solid #999}</style></head><body>\n<h1>Korvane window gallery</h1>\n";
        std::string entry;
        for (const Shot& shot : Everything()) {
            if (shot.entry != entry) {
                entry = shot.entry;
                out << "<h2>" << Escaped(shot.title) << "</h2>\n";
            }
            out << "<figure><img src=\"" << Escaped(shot.file) << "\" alt=\"" << Escaped(shot.entry + " " + shot.state)
                << "\"><figcaption>" << Escaped(shot.entry) << ": " << Escaped(shot.state) << "</figcaption></figure>\n";
        }
        out << "</body></html>\n";
        if (!out.flush())
            return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
}
