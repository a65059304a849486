// The demo link opened for the backup engine: simulator, communication
// manager and distribution manager, with the source tree's resources as the
// program folder.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "backup/tests/BackupTestSupport.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "testing/DemoPortFactory.h"
#include "testing/TestAppServices.h"

class DemoLink {
public:
    DemoLink()
    {
        m_app.m_iniPath = m_home.File("kvsettings.ini");
        m_app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        m_comm.SetPortFactory(&m_factory);
        AfxTakeScriptedMessageLog();
        m_open = m_comm.OpenDemoCommunications() == 1;
        CDistManager::Install(&m_dist);
        m_open = m_open && m_dist.Start();
    }
    ~DemoLink()
    {
        m_dist.Stop();
        CDistManager::Install(nullptr);
        m_comm.CloseCommunications();
    }
    DemoLink(const DemoLink&) = delete;
    DemoLink& operator=(const DemoLink&) = delete;

    CDemoRegisterModel& Model() { return m_factory.m_simulator->Model(); }
    LONG Register(int address, const char* mnemonic)
    {
        LONG value = 0;
        Model().GetRegister(address, MnemonicToCode(mnemonic), value);
        return value;
    }

    TempDir m_home;
    TestAppServices m_app;
    DemoPortFactory m_factory;
    CCommManager m_comm;
    CCommManagerLink m_link{m_comm};
    CDistManager m_dist{&m_link};
    bool m_open = false;
};

inline std::string SourceResources()
{
    return std::string(KV_SOURCE_DIR) + "/resources";
}

// The drive commands of a backup: mnemonic and value of each line that is not a comment.
inline std::vector<std::pair<std::string, long>> BackupCommands(const std::string& text)
{
    std::vector<std::pair<std::string, long>> commands;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        std::istringstream words(line);
        std::string mnemonic;
        long value = 0;
        words >> mnemonic >> value;
        commands.emplace_back(mnemonic, value);
    }
    return commands;
}
