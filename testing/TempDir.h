// A temporary folder for one test, removed with its contents afterwards. It
// also points $KORVANE_HOME at itself, so the program's folders land inside.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/kvtestXXXXXX";
        m_path = mkdtemp(pattern);
        const char* old = std::getenv("KORVANE_HOME");
        m_oldHome = old ? old : "";
        m_hadHome = old != nullptr;
        setenv("KORVANE_HOME", m_path.c_str(), 1);
    }
    ~TempDir()
    {
        if (m_hadHome)
            setenv("KORVANE_HOME", m_oldHome.c_str(), 1);
        else
            unsetenv("KORVANE_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    void Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Names in the folder, to check no temporary file is left behind.
    int CountEntries() const
    {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(m_path),
                                              std::filesystem::directory_iterator()));
    }

private:
    std::string m_path;
    std::string m_oldHome;
    bool m_hadHome = false;
};
