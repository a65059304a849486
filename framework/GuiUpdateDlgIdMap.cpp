#include "GuiUpdateDlgIdMap.h"

#include <cstdlib>

#include "GuiUpdateDlg.h"

void CGuiUpdateDlgIdMap::RegisterGui(const char* windowName, const CRuntimeClass* runtimeClass, int familyMask,
                                     int featureMask)
{
    if (!windowName || !runtimeClass)
        return;
    const CString className = runtimeClass->m_lpszClassName;
    const CRuntimeClass* known = nullptr;
    if (!m_byWindowName.Lookup(windowName, known))
        m_windowNames.Add(windowName);
    m_byWindowName.SetAt(windowName, runtimeClass);
    m_byClassName.SetAt(className, runtimeClass);
    m_familyMask.SetAt(className, familyMask);
    m_featureMask.SetAt(className, featureMask);
}

CGuiUpdateDlg* CGuiUpdateDlgIdMap::Instantiate(const CRuntimeClass* runtimeClass)
{
    if (!runtimeClass)
        return nullptr;
    CObject* object = runtimeClass->CreateObject();
    auto* dialog = dynamic_cast<CGuiUpdateDlg*>(object);
    if (!dialog)
        delete object;  // a class registered by mistake that is no drive window
    return dialog;
}

CGuiUpdateDlg* CGuiUpdateDlgIdMap::CreateGui(const char* name, CWnd* opener, int show)
{
    if (!name)
        return nullptr;
    const CString fullName = name;
    const int colon = fullName.Find(':');
    const CString windowName = colon >= 0 ? fullName.Left(colon) : fullName;
    const CRuntimeClass* runtimeClass = nullptr;
    if (!m_byWindowName.Lookup(windowName, runtimeClass))
        return nullptr;
    CGuiUpdateDlg* dialog = Instantiate(runtimeClass);
    if (!dialog)
        return nullptr;
    dialog->SetOpener(opener);
    dialog->SetWindowName(fullName, colon >= 0 ? std::atoi(fullName.Mid(colon + 1)) : 0);
    if (show && !dialog->CreateGuiWindow(1)) {
        delete dialog;  // no window was made: nothing would ever delete it
        return nullptr;
    }
    return dialog;
}

const CRuntimeClass* CGuiUpdateDlgIdMap::GetRuntimeClassByClassName(const char* className) const
{
    const CRuntimeClass* runtimeClass = nullptr;
    m_byClassName.Lookup(className, runtimeClass);
    return runtimeClass;
}

CGuiUpdateDlg* CGuiUpdateDlgIdMap::CreateByClassName(const char* className) const
{
    return Instantiate(GetRuntimeClassByClassName(className));
}

int CGuiUpdateDlgIdMap::FindWindowNameOfClass(const char* className, CString& windowName) const
{
    for (POSITION pos = m_byWindowName.GetStartPosition(); pos;) {
        CString name;
        const CRuntimeClass* runtimeClass = nullptr;
        m_byWindowName.GetNextAssoc(pos, name, runtimeClass);
        if (CString(runtimeClass->m_lpszClassName) == className) {
            windowName = name;
            return 1;
        }
    }
    return 0;
}

int CGuiUpdateDlgIdMap::GetClassNameOfWindowName(const char* windowName, CString& className) const
{
    const CRuntimeClass* runtimeClass = nullptr;
    if (!m_byWindowName.Lookup(windowName, runtimeClass))
        return 0;
    className = runtimeClass->m_lpszClassName;
    return 1;
}

int CGuiUpdateDlgIdMap::IsCompatible(const char* className, int driveFamily, int dataWord) const
{
    if (driveFamily == -1 || driveFamily == -2)
        return 0;
    int familyMask = 0;
    int featureMask = 0;
    if (!m_familyMask.Lookup(className, familyMask) || !m_featureMask.Lookup(className, featureMask))
        return 0;
    return (familyMask & driveFamily) != 0 && (dataWord & featureMask) == featureMask;
}
