#include "backup/BackupOutputFile.h"

#include <vector>

#include "foundation/FileHelpers.h"
#include "platform/core/Exception.h"
#include "platform/core/File.h"

CBackupOutputFile::~CBackupOutputFile()
{
    Discard();
}

CString CBackupOutputFile::TempPathFor(const CString& target)
{
    CString folder = GetFolderFromPath(target);
    if (!folder.IsEmpty() && folder.Right(1) != "/")
        folder += "/";
    return folder + "." + GetFileNameFromPath(target, TRUE) + ".kvpart";
}

bool CBackupOutputFile::Open(const CString& target)
{
    Discard();
    m_tempPath = TempPathFor(target);
    m_file = fopen(m_tempPath, "wb");
    m_failed = false;
    if (!m_file) {
        m_tempPath.Empty();
        return false;
    }
    return true;
}

bool CBackupOutputFile::WriteLine(const CString& text)
{
    if (!m_file)
        return false;
    const size_t length = static_cast<size_t>(text.GetLength());
    if (fwrite(text.GetString(), 1, length, m_file) != length || fwrite("\r\n", 1, 2, m_file) != 2) {
        m_failed = true;
        return false;
    }
    return true;
}

bool CBackupOutputFile::Close()
{
    if (!m_file)
        return !m_failed;
    if (fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

bool CBackupOutputFile::Commit(const CString& path)
{
    Close();
    if (m_tempPath.IsEmpty() || m_failed) {
        Discard();
        return false;
    }
    FILE* in = fopen(m_tempPath, "rb");
    if (!in) {
        Discard();
        return false;
    }
    std::vector<char> bytes;
    char buffer[16384];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), in)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + count);
    const bool readOk = !ferror(in);
    fclose(in);
    bool ok = readOk;
    if (ok) {
        // CFile puts the new text in place whole, keeping the old file's mode.
        CFile out;
        if (!out.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
            ok = false;
        } else {
            try {
                out.Write(bytes.data(), static_cast<UINT>(bytes.size()));
                out.Close();
            } catch (const CException&) {
                out.Abort();
                ok = false;
            }
        }
    }
    Discard();
    return ok;
}

void CBackupOutputFile::Discard()
{
    if (m_file) {
        fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.IsEmpty()) {
        remove(m_tempPath);
        m_tempPath.Empty();
    }
    m_failed = false;
}

const char* TemplateLineFaultText(TemplateLineFault fault)
{
    switch (fault) {
    case TemplateLineFault::kTooLong:
        return " Line longer than 999 characters";
    case TemplateLineFault::kNulByte:
        return " Line holds a NUL byte";
    default:
        return "";
    }
}

bool ReadTemplateLine(FILE* file, CString& line, TemplateLineFault& fault, int maxChars)
{
    std::string text;
    fault = TemplateLineFault::kNone;
    int c = fgetc(file);
    if (c == EOF)
        return false;
    while (c != EOF && c != '\n') {
        // The text of a line ends at a NUL: what follows would be lost unseen.
        if (c == '\0')
            fault = TemplateLineFault::kNulByte;
        else if (static_cast<int>(text.size()) < maxChars)
            text.push_back(static_cast<char>(c));
        else if (fault == TemplateLineFault::kNone)
            fault = TemplateLineFault::kTooLong;
        c = fgetc(file);
    }
    if (!text.empty() && text.back() == '\r' && fault == TemplateLineFault::kNone)
        text.pop_back();
    line = CString(text.c_str());
    return true;
}
