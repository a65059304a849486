#include "RichEditView.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

#include "ControlWidgets.h"

namespace {
kvui::KvRichEdit* Rich(const CWnd* wnd) { return WidgetAs<kvui::KvRichEdit>(wnd); }

// A typed blank, tab or line end is its own undo step, so undo takes back a word at a time.
class WordUndoFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* target, QEvent* event) override
    {
        auto* edit = qobject_cast<kvui::KvRichEdit*>(target);
        if (event->type() != QEvent::KeyPress || !edit || edit->isReadOnly())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        QString text = key->text();
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            text = "\n";
        if (text.size() != 1 || !text[0].isSpace() || (key->modifiers() & Qt::ControlModifier))
            return false;
        QTextCursor cursor = edit->textCursor();
        cursor.beginEditBlock();
        cursor.insertText(text);
        cursor.endEditBlock();
        edit->setTextCursor(cursor);
        return true;
    }
};

bool IsAscii(const char* bytes)
{
    for (; *bytes; ++bytes)
        if (static_cast<unsigned char>(*bytes) >= 0x80)
            return false;
    return true;
}
}  // namespace

BOOL CRichEditView::CreatePane(CWnd* parent, UINT id, int top)
{
    if (!Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_WANTRETURN, CRect(0, 0, 10, 10),
                parent, id))
        return FALSE;
    if (kvui::KvRichEdit* edit = Rich(this)) {
        edit->setLineWrapMode(QTextEdit::NoWrap);
        edit->installEventFilter(new WordUndoFilter(edit));
    }
    FitPane(top);
    return TRUE;
}

void CRichEditView::FitPane(int top)
{
    CRect client;
    GetParent()->GetClientRect(&client);
    MoveWindow(0, top, client.Width(), std::max(0, client.Height() - top));
}

BOOL CRichEditView::CanUndo() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit && edit->document()->isUndoAvailable();
}

BOOL CRichEditView::CanRedo() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit && edit->document()->isRedoAvailable();
}

void CRichEditView::Undo()
{
    if (kvui::KvRichEdit* edit = Rich(this))
        edit->undo();
}

void CRichEditView::Redo()
{
    if (kvui::KvRichEdit* edit = Rich(this))
        edit->redo();
}

BOOL CRichEditView::CanPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}

void CRichEditView::PastePlain()
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit || edit->isReadOnly() || !CanPaste())
        return;
    edit->textCursor().insertText(QApplication::clipboard()->text());
}

BOOL CRichEditView::GetModify() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit && edit->document()->isModified();
}

void CRichEditView::SetModify(BOOL modified)
{
    if (kvui::KvRichEdit* edit = Rich(this))
        edit->document()->setModified(modified != FALSE);
}

CString CRichEditView::GetTextBytes() const
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit)
        return CString();
    const QString text = edit->toPlainText().replace("\n", "\r\n");
    bool wide = m_utf8;
    for (QChar ch : text)
        wide = wide || ch.unicode() > 0xFF;
    return CString(wide ? text.toUtf8().constData() : text.toLatin1().constData());
}

CString CRichEditView::GetSelText() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit ? kvui::FromQ(edit->textCursor().selectedText().replace(QChar::ParagraphSeparator, "\r\n")) : CString();
}

BOOL CRichEditView::HasSelection() const
{
    kvui::KvRichEdit* edit = Rich(this);
    return edit && edit->textCursor().hasSelection();
}

void CRichEditView::ReplaceSelBytes(const char* bytes)
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit)
        return;
    QString text = kvui::ToQ(bytes ? bytes : "");
    if (!IsAscii(bytes ? bytes : ""))
        m_utf8 = QString::fromUtf8(bytes) == text;
    text.remove('\r');
    QTextCursor cursor = edit->textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.insertText(text);
    cursor.endEditBlock();
    edit->setTextCursor(cursor);
}

BOOL CRichEditView::FindText(const char* text, BOOL matchCase, BOOL wholeWord, BOOL down)
{
    kvui::KvRichEdit* edit = Rich(this);
    if (!edit || !text || !*text)
        return FALSE;
    QTextDocument::FindFlags flags;
    if (matchCase) flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord) flags |= QTextDocument::FindWholeWords;
    if (!down) flags |= QTextDocument::FindBackward;
    const QString wanted = kvui::ToQ(text);
    QTextCursor found = edit->document()->find(wanted, edit->textCursor(), flags);
    if (found.isNull()) {
        QTextCursor from(edit->document());
        from.movePosition(down ? QTextCursor::Start : QTextCursor::End);
        found = edit->document()->find(wanted, from, flags);
    }
    if (found.isNull())
        return FALSE;
    edit->setTextCursor(found);
    return TRUE;
}
