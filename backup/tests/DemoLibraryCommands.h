// What the demo library's backup restores into a drive of each kind: its
// "!IF (FW...)" sections are taken or skipped as the restore does.
#pragma once

#include <sstream>
#include <string>
#include <utility>
#include <vector>

struct DemoIndexedEntry {
    std::string indexRegister;  // "MDI" of "MDI 6 MDL 2000"
    long index;
    std::string valueRegister;
    long value;
};

struct DemoLibraryContent {
    std::vector<std::pair<std::string, long>> commands;  // mnemonic, value
    std::vector<DemoIndexedEntry> indexed;               // entries of indexed registers
};

inline DemoLibraryContent ReadDemoLibrary(const std::string& text, bool tavro)
{
    DemoLibraryContent content;
    std::istringstream in(text);
    bool taken = true;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line == "!IF (FW<5.00)" || line == "!IF (FW>=5.00)") {
            taken = (line == "!IF (FW>=5.00)") == tavro;
            continue;
        }
        if (line == "!ENDIF") {
            taken = true;
            continue;
        }
        if (!taken)
            continue;
        std::istringstream words(line);
        std::string mnemonic, second;
        long value = 0, data = 0;
        words >> mnemonic >> value;
        if (words >> second >> data)
            content.indexed.push_back({mnemonic, value, second, data});
        else
            content.commands.emplace_back(mnemonic, value);
    }
    return content;
}
