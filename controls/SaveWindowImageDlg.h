// CSaveWindowImageDlg: asks where a window's image goes (file or clipboard),
// at what size and, for a file, in which format.
#pragma once

#include "resources/ids/ExportWindowImageIds.h"

#include "platform/ui/Dialog.h"

class CSaveWindowImageDlg : public CDialog {
public:
    enum { IDD = IDD_EXPORT_WINDOW_IMAGE };
    enum Target { TargetFile = 0, TargetClipboard = 1 };
    enum FileType { FileBmp = 0, FilePng = 1, FileJpeg = 2, FileGif = 3 };
    explicit CSaveWindowImageDlg(CWnd* parent = nullptr);

    int m_target = TargetFile;
    int m_fileType = FileBmp;
    int m_width = 1;
    int m_height = 1;
    CString m_path;
    int m_forPrinting = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnTargetChosen();
    void OnPathChanged();
    void OnBrowse();
    void UpdateControls();
    DECLARE_MESSAGE_MAP()
};
