#include "ScriptSection.h"

#include "ScriptPlayerSectionSettingsDlg.h"
#include "foundation/DPropertyList.h"
#include "foundation/TextHelpers.h"

namespace {
const char* const kNames[] = {"stTitle", "stDescription", "stDetail", "stScript", "stLayoutName"};

CString NameOf(int which, int index)
{
    CString name;
    name.Format("%s%d", kNames[which], index);
    return name;
}
}  // namespace

int CScriptSection::Edit()
{
    CScriptPlayerSectionSettingsDlg dialog;
    dialog.m_title = m_title;
    dialog.m_description = m_description;
    dialog.m_detail = m_detail;
    dialog.m_script = m_script;
    if (dialog.DoModal() != IDOK)
        return 0;
    m_title = dialog.m_title;
    m_description = dialog.m_description;
    m_detail = dialog.m_detail;
    m_script = dialog.m_script;
    return 1;
}

int CScriptSection::ReadProperties(int index, const CDPropertyList& bag)
{
    CString* members[] = {&m_title, &m_description, &m_detail, &m_script, &m_layoutName};
    for (int which = 0; which < 5; ++which)
        bag.GetString(NameOf(which, index), *members[which]);
    return 1;
}

int CScriptSection::WriteProperties(int index, CDPropertyList& bag) const
{
    const CString* members[] = {&m_title, &m_description, &m_detail, &m_script, &m_layoutName};
    for (int which = 0; which < 5; ++which)
        bag.SetString(NameOf(which, index), *members[which]);
    return 1;
}

bool CScriptSection::HasAnyProperty(int index, const CDPropertyList& bag)
{
    CString value;
    for (int which = 0; which < 5; ++which)
        if (bag.GetString(NameOf(which, index), value))
            return true;
    return false;
}

void CScriptSection::GetLines(CStringList& lines) const
{
    lines.RemoveAll();
    SplitToStringList(m_script, "\n", lines);
    // The splitter trims white space; a line of blanks alone leaves an empty piece.
    for (POSITION pos = lines.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        if (lines.GetNext(pos).IsEmpty())
            lines.RemoveAt(at);
    }
}

void CScriptSection::SetLines(const CStringList& lines)
{
    m_script.Empty();
    JoinStringList(lines, "\r\n", m_script);
}
