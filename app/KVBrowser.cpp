#include "KVBrowser.h"

void CKVBrowser::OnBeforeNavigate(const CString& url, BOOL* cancel)
{
    if (url.Left(9).CompareNoCase("TUTORCMD:") == 0) {
        m_tutorialCommands.AddTail(url.Mid(9));
        *cancel = TRUE;
    } else if (url.Left(6).CompareNoCase("KVCLI:") == 0) {
        m_clientCommands.AddTail(url.Mid(6));
        *cancel = TRUE;
    }
}

BOOL CKVBrowser::NavigateWithQuery(const CString& url)
{
    m_lastRequest = url;
    const int query = url.Find('?');
    return Navigate(query < 0 ? url : url.Left(query));
}
