// CGuiUpdateDlgIdMap: the registry of drive window classes. The main frame
// registers every class under a window name; the registry makes windows by
// name, translates names, and says which drives a class can serve.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/Map.h"
#include "platform/core/RuntimeClass.h"
#include "platform/core/String.h"

class CGuiUpdateDlg;
class CWnd;

class CGuiUpdateDlgIdMap {
public:
    void RegisterGui(const char* windowName, const CRuntimeClass* runtimeClass, int familyMask, int featureMask);
    // `name` may carry ":n", the instance number of the new window.
    // Null for a name that is not registered.
    CGuiUpdateDlg* CreateGui(const char* name, CWnd* opener, int show);
    const CRuntimeClass* GetRuntimeClassByClassName(const char* className) const;
    CGuiUpdateDlg* CreateByClassName(const char* className) const;
    int FindWindowNameOfClass(const char* className, CString& windowName) const;
    int GetClassNameOfWindowName(const char* windowName, CString& className) const;
    int IsCompatible(const char* className, int driveFamily, int dataWord) const;
    // The registered window names, in the order they were first registered.
    const CStringArray& GetWindowNames() const { return m_windowNames; }

private:
    static CGuiUpdateDlg* Instantiate(const CRuntimeClass* runtimeClass);

    CMap<CString, const char*, const CRuntimeClass*, const CRuntimeClass*> m_byWindowName;
    CMap<CString, const char*, const CRuntimeClass*, const CRuntimeClass*> m_byClassName;
    CMap<CString, const char*, int, int> m_familyMask;
    CMap<CString, const char*, int, int> m_featureMask;
    CStringArray m_windowNames;
};
