#include "Edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "WndImpl.h"

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Edit), "", style | WS_CHILD, rect, parent, id);
}

void CEdit::SetSel(int start, int end, BOOL /*noScroll*/) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }

void CEdit::GetSel(int& start, int& end) const
{
    DWORD s = 0, e = 0;
    const_cast<CEdit*>(this)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

DWORD CEdit::GetSel() const
{
    int start = 0, end = 0;
    GetSel(start, end);
    return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
}

void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo)
{
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), reinterpret_cast<LPARAM>(text ? text : ""));
}

BOOL CEdit::SetReadOnly(BOOL readOnly) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }

void CEdit::SetLimitText(UINT maxChars) { SendMessage(EM_LIMITTEXT, maxChars); }

int CEdit::GetLineCount() const
{
    if (auto* plain = WidgetAs<QPlainTextEdit>(this))
        return plain->document()->blockCount();
    if (auto* rich = WidgetAs<QTextEdit>(this))
        return rich->document()->blockCount();
    return 1;
}

BOOL CEdit::GetModify() const
{
    if (auto* line = WidgetAs<QLineEdit>(this))
        return line->isModified();
    if (auto* plain = WidgetAs<QPlainTextEdit>(this))
        return plain->document()->isModified();
    if (auto* rich = WidgetAs<QTextEdit>(this))
        return rich->document()->isModified();
    return FALSE;
}

void CEdit::SetModify(BOOL modified)
{
    if (auto* line = WidgetAs<QLineEdit>(this))
        line->setModified(modified != 0);
    else if (auto* plain = WidgetAs<QPlainTextEdit>(this))
        plain->document()->setModified(modified != 0);
    else if (auto* rich = WidgetAs<QTextEdit>(this))
        rich->document()->setModified(modified != 0);
}

namespace kvui {
namespace {
QTextCursor* TextCursorOf(QWidget* w, QTextCursor& storage)
{
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
        storage = plain->textCursor();
        return &storage;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(w)) {
        storage = rich->textCursor();
        return &storage;
    }
    return nullptr;
}

void SetTextCursorOf(QWidget* w, const QTextCursor& cursor)
{
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->setTextCursor(cursor);
    else if (auto* rich = qobject_cast<QTextEdit*>(w))
        rich->setTextCursor(cursor);
}

// Character positions count a line end as two, as the original edit control did.
int ToDocumentPosition(const QTextDocument* doc, int position)
{
    int result = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const int length = block.length() - 1;
        if (position <= length)
            return result + position;
        position -= length + 2;
        result += length + 1;
        if (position < 0)
            return result;
    }
    return doc->characterCount() - 1;
}

int FromDocumentPosition(const QTextDocument* doc, int position)
{
    const QTextBlock block = doc->findBlock(position);
    return position + block.blockNumber();
}
}  // namespace

bool EditMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    QWidget* w = impl->widget;
    auto* line = qobject_cast<QLineEdit*>(w);
    QTextCursor storage;
    QTextCursor* cursor = TextCursorOf(w, storage);
    switch (message) {
    case EM_SETSEL: {
        int start = static_cast<int>(static_cast<long>(wParam));
        int end = static_cast<int>(lParam);
        if (line) {
            const int length = static_cast<int>(line->text().size());
            if (start < 0) { line->deselect(); return true; }
            if (end < 0 || end > length) end = length;
            start = std::min(start, length);
            line->setSelection(start, end - start);
        } else if (cursor) {
            const QTextDocument* doc = cursor->document();
            const int last = doc->characterCount() - 1;
            if (start < 0) { cursor->clearSelection(); SetTextCursorOf(w, *cursor); return true; }
            const int from = std::min(ToDocumentPosition(doc, start), last);
            const int to = end < 0 ? last : std::min(ToDocumentPosition(doc, end), last);
            cursor->setPosition(from);
            cursor->setPosition(to, QTextCursor::KeepAnchor);
            SetTextCursorOf(w, *cursor);
        }
        return true;
    }
    case EM_GETSEL: {
        int start = 0, end = 0;
        if (line) {
            start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
            end = line->hasSelectedText() ? line->selectionEnd() : start;
        } else if (cursor) {
            start = FromDocumentPosition(cursor->document(), cursor->selectionStart());
            end = FromDocumentPosition(cursor->document(), cursor->selectionEnd());
        }
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
        *result = MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
        return true;
    }
    case EM_REPLACESEL: {
        QString text = ToQ(reinterpret_cast<const char*>(lParam));
        if (line) {
            line->insert(text.remove('\r').remove('\n'));
        } else if (cursor) {
            cursor->insertText(text.remove('\r'));
            SetTextCursorOf(w, *cursor);
        }
        return true;
    }
    case EM_SETREADONLY:
        if (wParam) impl->style |= ES_READONLY;
        else impl->style &= ~ES_READONLY;
        ApplyStyle(impl);
        *result = TRUE;
        return true;
    case EM_LIMITTEXT:
        if (line)
            line->setMaxLength(wParam == 0 ? 32767 : static_cast<int>(wParam));
        return true;
    case WM_COPY:
        if (line) line->copy();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) plain->copy();
        else if (auto* rich = qobject_cast<QTextEdit*>(w)) rich->copy();
        return true;
    case WM_CUT:
        if (line) line->cut();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) plain->cut();
        else if (auto* rich = qobject_cast<QTextEdit*>(w)) rich->cut();
        return true;
    case WM_PASTE:
        if (line) line->paste();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) plain->paste();
        else if (auto* rich = qobject_cast<QTextEdit*>(w)) rich->paste();
        return true;
    case WM_CHAR:
        // A character the program sends (or posts) types as the user's would.
        if (line && !line->isReadOnly()) {
            const auto ch = static_cast<unsigned char>(wParam);
            if (ch == '\b')
                line->backspace();
            else if (ch >= 0x20)
                line->insert(QString(QChar::fromLatin1(static_cast<char>(ch))));
        }
        return true;
    case WM_KEYDOWN:
        if (line && wParam == VK_LEFT) line->cursorBackward(false);
        else if (line && wParam == VK_RIGHT) line->cursorForward(false);
        else if (line && wParam == VK_HOME) line->home(false);
        else if (line && wParam == VK_END) line->end(false);
        return line != nullptr;
    case WM_CLEAR:
        if (line) line->del();
        else if (cursor) { cursor->removeSelectedText(); SetTextCursorOf(w, *cursor); }
        return true;
    default:
        return false;
    }
}
}  // namespace kvui
