#include "Pragmix.h"

int CMacroDefsCallBack::WriteString(CString /*text*/) { return 1; }
int CMacroDefsCallBack::ReadLine(CString& /*text*/) { return 0; }
int CMacroDefsCallBack::Include(CString& /*fileName*/) { return includeHandled; }
int CMacroDefsCallBack::Pragma(CString /*text*/) { return 1; }
void CMacroDefsCallBack::ReportMessage(CString /*text*/) {}
void CMacroDefsCallBack::ReportError(CString /*text*/) {}
void CMacroDefsCallBack::ReportError(CString /*text*/, int /*line*/) {}
int CMacroDefsCallBack::OpenSource() { return 1; }
void CMacroDefsCallBack::CloseSource() {}
int CMacroDefsCallBack::Status(CString /*sourceName*/, int /*line*/, float /*percentDone*/) { return 1; }
