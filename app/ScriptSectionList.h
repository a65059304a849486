// CScriptSectionList: the sections of a script in play order, and the script
// file (".kvs"): a property bag of text values stored through an archive.
#pragma once

#include "ScriptSection.h"
#include "platform/core/List.h"

class CDPropertyList;

class CScriptSectionList : public CList<CScriptSection*, CScriptSection*> {
public:
    // A list built for loading owns its sections; one built for saving only
    // refers to the rows' sections.
    explicit CScriptSectionList(bool ownsSections = true) : m_owns(ownsSections) {}
    ~CScriptSectionList() override;
    CScriptSectionList(const CScriptSectionList&) = delete;
    CScriptSectionList& operator=(const CScriptSectionList&) = delete;

    // 1 when read; 0 when the bag is no script (no section count) or names
    // more sections than it holds: the list is then left empty.
    int ReadProperties(const CDPropertyList& bag);
    int WriteProperties(CDPropertyList& bag) const;
    CScriptSection* AddCopy(const CScriptSection& section);
    // Hands the sections over: the list no longer deletes them.
    void Release() { RemoveAll(); }
    void DeleteSections();

    // The file operations; on failure 0 with the message the player shows.
    int LoadFile(const char* path, CString& error);
    int SaveFile(const char* path, CString& error) const;

private:
    bool m_owns;
};
