// CGuiLayoutFile: the layout file of the open-window list: which drive
// windows are open, on which drive, where, and what each keeps in its
// property bag. A count and a version (int16 each) head the file; then one
// record per window: its class name and the window's own layout data.
#pragma once

#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CArchive;
class CGuiUpdateItem;
class CGuiUpdateList;

constexpr short kLayoutFileVersion = 1;
constexpr int kLayoutHelpId = -1760;
extern const char kLayoutFileName[];
extern const char kLayoutFileFilter[];
extern const char kLayoutLaterVersionMessage[];
extern const char kLayoutDroppedMessage[];
extern const char kLayoutDamagedMessage[];

class CGuiLayoutFile {
public:
    explicit CGuiLayoutFile(CGuiUpdateList& list) : m_list(list) {}

    int Save(const char* path, int ask, int keepFolder);
    int Load(const char* path);

private:
    // The path to use: given, or chosen in the file dialog (empty when cancelled).
    CString ChoosePath(const char* path, bool save, bool ask, int keepFolder);
    CString DefaultPath() const;
    void CollectWritten(CList<CGuiUpdateItem*, CGuiUpdateItem*>& items) const;
    void WriteBody(CArchive& ar);
    // Reads every record; false at the first that cannot be read.
    bool ReadRecords(CArchive& ar, int count, short version, bool& dropped);
    bool ReadRecord(CArchive& ar, short version, bool& dropped);
    void Discard(CGuiUpdateItem* item);
    void CloseOpened();

    CGuiUpdateList& m_list;
    CList<CGuiUpdateItem*, CGuiUpdateItem*> m_opened;
};
