#include "RichEditCtrl.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <cstring>

#include "ControlWidgets.h"
#include "DCImpl.h"

namespace {
kvui::KvRichEdit* Rich(const CWnd* wnd) { return WidgetAs<kvui::KvRichEdit>(wnd); }

QTextCharFormat ToTextFormat(const CHARFORMAT& cf)
{
    QTextCharFormat format;
    if (cf.dwMask & CFM_FACE)
        format.setFontFamilies({kvui::ToQ(AfxMapFontFace(cf.szFaceName))});
    if ((cf.dwMask & CFM_SIZE) && cf.yHeight > 0)
        format.setFontPointSize(cf.yHeight / 20.0);
    if ((cf.dwMask & CFM_COLOR) && !(cf.dwEffects & CFE_AUTOCOLOR))
        format.setForeground(kvui::ToQColor(cf.crTextColor));
    if (cf.dwMask & CFM_BOLD)
        format.setFontWeight(cf.dwEffects & CFE_BOLD ? QFont::Bold : QFont::Normal);
    if (cf.dwMask & CFM_ITALIC)
        format.setFontItalic(cf.dwEffects & CFE_ITALIC);
    if (cf.dwMask & CFM_UNDERLINE)
        format.setFontUnderline(cf.dwEffects & CFE_UNDERLINE);
    if (cf.dwMask & CFM_PROTECTED)
        format.setProperty(kvui::KvRichEdit::kProtectedProperty, (cf.dwEffects & CFE_PROTECTED) != 0);
    return format;
}
}  // namespace

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::RichEdit), "", style | WS_CHILD | ES_MULTILINE, rect, parent, id);
}

void CRichEditCtrl::SetSel(long start, long end)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CRichEditCtrl::GetSel(long& start, long& end) const
{
    DWORD s = 0, e = 0;
    const_cast<CRichEditCtrl*>(this)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<long>(s);
    end = static_cast<long>(e);
}

void CRichEditCtrl::ReplaceSel(LPCSTR text, BOOL canUndo)
{
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text ? text : ""));
}

COLORREF CRichEditCtrl::SetBackgroundColor(BOOL useSystemColor, COLORREF color)
{
    kvui::KvRichEdit* rich = Rich(this);
    if (!rich)
        return 0;
    QPalette palette = rich->palette();
    const QColor old = palette.color(QPalette::Base);
    palette.setColor(QPalette::Base, useSystemColor ? QColor(Qt::white) : kvui::ToQColor(color));
    rich->setPalette(palette);
    rich->setAutoFillBackground(true);
    return RGB(static_cast<BYTE>(old.red()), static_cast<BYTE>(old.green()), static_cast<BYTE>(old.blue()));
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT& format)
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit)
        return FALSE;
    QTextCursor cursor = edit->textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(ToTextFormat(format));
    else
        edit->mergeCurrentCharFormat(ToTextFormat(format));
    return TRUE;
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& format)
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit)
        return FALSE;
    QTextCursor all(edit->document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(ToTextFormat(format));
    edit->mergeCurrentCharFormat(ToTextFormat(format));
    return TRUE;
}

DWORD CRichEditCtrl::GetSelectionCharFormat(CHARFORMAT& format) const
{
    kvui::KvRichEdit* edit = Rich(this);
    std::memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    if (!edit)
        return 0;
    const QTextCharFormat f = edit->textCursor().charFormat();
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_PROTECTED | CFM_COLOR | CFM_SIZE;
    if (f.fontWeight() >= QFont::Bold) format.dwEffects |= CFE_BOLD;
    if (f.fontItalic()) format.dwEffects |= CFE_ITALIC;
    if (f.fontUnderline()) format.dwEffects |= CFE_UNDERLINE;
    if (f.property(kvui::KvRichEdit::kProtectedProperty).toBool()) format.dwEffects |= CFE_PROTECTED;
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor c = f.foreground().color();
        format.crTextColor = RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()), static_cast<BYTE>(c.blue()));
    } else {
        format.dwEffects |= CFE_AUTOCOLOR;
    }
    format.yHeight = static_cast<LONG>(f.fontPointSize() * 20);
    return format.dwMask;
}

long CRichEditCtrl::GetTextLength() const { return static_cast<long>(const_cast<CRichEditCtrl*>(this)->GetWindowTextLength()); }

int CRichEditCtrl::GetLineCount() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit ? edit->document()->blockCount() : 0;
}

BOOL CRichEditCtrl::SetReadOnly(BOOL readOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }

void CRichEditCtrl::LimitText(long /*maxChars*/) {}

void CRichEditCtrl::HideSelection(BOOL /*hide*/, BOOL /*permanent*/) {}

int CRichEditCtrl::GetFirstVisibleLine() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit ? edit->cursorForPosition(QPoint(0, 0)).blockNumber() : 0;
}

void CRichEditCtrl::LineScroll(int lines, int chars)
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit)
        return;
    const int lineHeight = edit->fontMetrics().height();
    edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->value() + lines * lineHeight);
    edit->horizontalScrollBar()->setValue(edit->horizontalScrollBar()->value() + chars * edit->fontMetrics().averageCharWidth());
}

namespace kvui {

bool KvRichEdit::TouchesProtected(int from, int to) const
{
    QTextCursor probe(document());
    for (int position = from; position < to; ++position) {
        probe.setPosition(position + 1);  // the format of the character before the cursor
        if (probe.charFormat().property(kProtectedProperty).toBool())
            return true;
    }
    return false;
}

void KvRichEdit::keyPressEvent(QKeyEvent* event)
{
    const QTextCursor cursor = textCursor();
    const bool edits = !event->text().isEmpty() || event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete ||
                       event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste);
    const bool copies = event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll) ||
                        (event->modifiers() & Qt::ControlModifier && !event->matches(QKeySequence::Cut) &&
                         !event->matches(QKeySequence::Paste));
    if (edits && !copies && !isReadOnly()) {
        int from = cursor.selectionStart();
        int to = cursor.selectionEnd();
        if (from == to) {
            if (event->key() == Qt::Key_Backspace) from = std::max(0, from - 1);
            else if (event->key() == Qt::Key_Delete) to = from + 1;
        }
        if (from < to && TouchesProtected(from, to))
            return;  // protected text stays as it is
        if (!event->text().isEmpty()) {
            QTextCharFormat typed;
            typed.setProperty(kProtectedProperty, false);  // typing after a protected run is the user's own
            mergeCurrentCharFormat(typed);
        }
    }
    QTextEdit::keyPressEvent(event);
}

}  // namespace kvui
