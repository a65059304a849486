// Plays a script file section by section through the program's real script
// player (and so through its command router) and returns what each section
// reported: the end-to-end test of the windows' text commands. The program
// must be running (the application object with its main frame); message
// boxes must be the scripted ones, which is how a section's errors are read.
// Each window adds a section of its own to the end-to-end script.
#pragma once

#include <string>
#include <vector>

#include "app/ScriptPlayerDlg.h"
#include "app/ScriptSectionList.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/WinApp.h"

namespace kvtest {

struct ScriptSectionText {
    std::string title;
    std::string script;  // lines separated by "\n"
};

struct ScriptSectionResult {
    std::string title;
    std::string errors;  // the failing replies, one a line; empty when all succeeded
};

// Writes a ".kvs" file of the sections; false when it could not.
inline bool WriteScriptFile(const std::string& path, const std::vector<ScriptSectionText>& sections)
{
    CScriptSectionList list;
    for (const ScriptSectionText& text : sections) {
        CScriptSection section;
        section.m_title = text.title.c_str();
        section.m_script = text.script.c_str();
        list.AddCopy(section);
    }
    CString error;
    return list.SaveFile(path.c_str(), error) != 0;
}

// Opens the file in the player and plays every section in turn, letting the
// program run what the section's lines queued before the next one. Empty
// when the player or the file could not be opened.
inline std::vector<ScriptSectionResult> RunScriptFile(const std::string& path, CWnd* frame)
{
    std::vector<ScriptSectionResult> results;
    CScriptPlayerDlg* player = CScriptPlayerDlg::OpenScriptPlayer(frame);
    if (!player || !player->OpenScript(path.c_str()))
        return results;
    const CString header = "The following script error occurred:\r\n";
    for (int row = 0; row < player->GetList().GetItemCount(); ++row) {
        AfxTakeScriptedMessageLog();
        CScriptSection* section = player->GetRowSection(row);
        player->RunSection(section);
        AfxPumpMessages();
        ScriptSectionResult result{section->m_title.str(), std::string()};
        for (const CString& message : AfxTakeScriptedMessageLog())
            if (message.Left(7 + header.GetLength()) == "MSGBOX:" + header)
                result.errors += message.Mid(7 + header.GetLength()).str();
        results.push_back(result);
    }
    return results;
}

}  // namespace kvtest
