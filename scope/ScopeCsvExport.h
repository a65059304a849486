// CScopeCsvExport: writes a closed scope data file as CSV, one row per sample
// time in time order, each column holding its source's latest value.
#pragma once

#include "platform/core/String.h"

class CDataPointBufferedFileArray;
class CDIniFile;

class CScopeCsvProgress {
public:
    virtual ~CScopeCsvProgress() = default;
    // Called about every half second with 0..100; false cancels the export.
    virtual bool OnCsvProgress(int percent) = 0;
};

class CScopeCsvExport {
public:
    enum Result { kCancelled = -1, kFailed = 0, kDone = 1 };

    // The data file must be open for playback; its own settings name the columns.
    // The CSV is put in place only when complete: a failed or cancelled export
    // leaves no file and any older one as it was.
    static int Export(const CDataPointBufferedFileArray& data, const CDIniFile& settings, const char* csvPath,
                      CScopeCsvProgress* progress);
    static CString ColumnHeader(const CDIniFile& settings, int sourceId);
};
