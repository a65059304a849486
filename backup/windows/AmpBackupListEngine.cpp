#include "backup/windows/AmpBackupListEngine.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "foundation/FileHelpers.h"
#include "platform/core/SingleLock.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/MsgBox.h"

namespace {
constexpr const char* kTemplateName = "SettingsList.dat";

// A folder of this engine's own for the definition file, so that no two lists share one.
CString MakePrivateFolder()
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::string pattern = ((error ? std::filesystem::path("/tmp") : base) / "kvlist-XXXXXX").string();
    return mkdtemp(pattern.data()) ? CString(pattern.c_str()) : CString();
}
}  // namespace

CAmpBackupListEngine::CAmpBackupListEngine(CAmpBackupToolHost* outer) : m_outer(outer), m_tool(this)
{
    m_tool.SetExtProcessor(this);
    // The pauses let the link settle for a scope that a list run never stops;
    // the one before the start would hold up the window that asked.
    m_tool.SetPauses(0);
}

CAmpBackupListEngine::~CAmpBackupListEngine()
{
    {
        CSingleLock lock(&m_lock, TRUE);
        m_list = nullptr;
        ++m_generation;
    }
    m_tool.StopThread(1);
    if (!m_folder.IsEmpty())
        DeleteFolderTree(m_folder);
}

void CAmpBackupListEngine::InstallFactory(CAmpBackupToolHost* outer)
{
    CQvxGuiUpdateListEngine::SetFactory([outer] { return std::make_unique<CAmpBackupListEngine>(outer); });
}

void CAmpBackupListEngine::RemoveFactory() { CQvxGuiUpdateListEngine::SetFactory(nullptr); }

// ---------------------------------------------------------------------------
// Runs (GUI thread).

void CAmpBackupListEngine::SetExtProcessor(CAmpBackupToolExtProcessorCB* processor)
{
    CSingleLock lock(&m_lock, TRUE);
    m_list = processor;
    ++m_generation;
}

int CAmpBackupListEngine::RunTemplate(int drive, const char* templateText)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        ++m_generation;
    }
    m_pending = false;
    if (drive < 0)
        return 0;  // no drive: no run, no rows
    m_pending = true;
    m_pendingDrive = drive;
    m_pendingText = templateText ? templateText : "";
    m_pendingText.Remove('\r');
    m_lastStart = 1;
    Service();
    return m_lastStart;
}

void CAmpBackupListEngine::Service()
{
    // A box shown at a run's end runs a message loop that may come back here.
    if (m_inService)
        return;
    m_inService = 1;
    m_tool.UpdateStatus();
    if (!IsCurrentRun() && m_tool.GetState() == CDThread::kRunning)
        m_tool.StopThread(0);  // asked again each time: a stop made while the run was starting is lost
    if (m_pending && m_tool.IsIdle())
        m_lastStart = StartPendingRun();
    m_inService = 0;
}

int CAmpBackupListEngine::StartPendingRun()
{
    m_pending = false;
    if (m_folder.IsEmpty()) {
        m_folder = MakePrivateFolder();
        if (m_folder.IsEmpty())
            return 0;
        m_templatePath = m_folder + "/" + kTemplateName;
    }
    if (!WriteTextFile(m_templatePath, m_pendingText))
        return 0;
    {
        CSingleLock lock(&m_lock, TRUE);
        m_runGeneration = m_generation.load();
    }
    return m_tool.RunTemplate(m_pendingDrive, m_templatePath);
}

int CAmpBackupListEngine::IsIdle()
{
    Service();
    return !m_inService && !m_pending && m_tool.IsIdle() ? 1 : 0;
}

int CAmpBackupListEngine::ExpandText(const char* text, CString& out, int digits, int isSigned)
{
    if (m_pending)
        return 0;
    return m_tool.ExpandText(text, out, digits, isSigned);
}

// ---------------------------------------------------------------------------
// The host.

int CAmpBackupListEngine::MessageBox(const char* text, unsigned type, int helpId)
{
    // A run that a newer one replaced ends without a word.
    if (!IsCurrentRun())
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    if (m_outer)
        return m_outer->MessageBox(text, type, helpId);
    return AfxMessageBox(text, type, static_cast<UINT>(helpId));
}

void CAmpBackupListEngine::ShowLog(const char* title, const char* text)
{
    if (m_outer) {
        m_outer->ShowLog(title, text);
        return;
    }
    AfxMessageBox(text, MB_OK);
}

CGlobalParameterTable* CAmpBackupListEngine::GetParameterTable()
{
    return m_outer ? m_outer->GetParameterTable() : nullptr;
}

CString CAmpBackupListEngine::GetProgramFolder()
{
    return m_outer ? m_outer->GetProgramFolder() : AfxGetModuleFolder() + "/";
}

// ---------------------------------------------------------------------------
// The list's side.

int CAmpBackupListEngine::ProcessExtLine(const char* text)
{
    // Under the lock, so that no line of a replaced run slips in after the list cleared its rows.
    CSingleLock lock(&m_lock, TRUE);
    CAmpBackupToolExtProcessorCB* list = List();
    if (!IsCurrentRun())
        return 1;
    if (!list) {
        SetErrorString("No external line processor");
        return 0;
    }
    if (list->ProcessExtLine(text))
        return 1;
    SetErrorString(list->GetErrorString());
    return 0;
}

void CAmpBackupListEngine::OnOperationComplete(int success, const char* text)
{
    if (CAmpBackupToolExtProcessorCB* list = List(); list && IsCurrentRun())
        list->OnOperationComplete(success, text);
}

void CAmpBackupListEngine::OnProgress(double percent)
{
    if (CAmpBackupToolExtProcessorCB* list = List(); list && IsCurrentRun())
        list->OnProgress(percent);
}

void CAmpBackupListEngine::OnStatusText(const char* text)
{
    if (CAmpBackupToolExtProcessorCB* list = List(); list && IsCurrentRun())
        list->OnStatusText(text);
}

void CAmpBackupListEngine::OnErrorLine(const char* text)
{
    if (CAmpBackupToolExtProcessorCB* list = List(); list && IsCurrentRun())
        list->OnErrorLine(text);
}

int CAmpBackupListEngine::SendCommand(const CAmpQryCmdFromGui& query, CAmpResponseToGui& response)
{
    CAmpBackupToolExtProcessorCB* list = List();
    return list ? list->SendCommand(query, response) : 0;
}

int CAmpBackupListEngine::GetNamedValue(const char* name, double& value)
{
    CAmpBackupToolExtProcessorCB* list = List();
    return list ? list->GetNamedValue(name, value) : 0;
}
