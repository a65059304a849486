#include "ComboBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include "ComboBoxPrivate.h"
#include "WndImpl.h"

namespace {
QComboBox* Combo(const CWnd* wnd) { return WidgetAs<QComboBox>(wnd); }
}  // namespace

namespace kvui {
int ClosedWindowHeight(CWndImpl* impl, int requested)
{
    auto* combo = impl && impl->kind == ControlKind::ComboBox ? qobject_cast<QComboBox*>(impl->widget.data()) : nullptr;
    if (!combo)
        return requested;
    const QVariant field = combo->property("kvFieldHeight");
    const int closed = field.isValid() ? field.toInt() : combo->sizeHint().height();
    const int item = std::max(1, combo->fontMetrics().height() + 2);
    if (requested > closed)
        combo->setMaxVisibleItems(std::max(1, (requested - closed) / item));
    return closed;
}
}  // namespace kvui

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::ComboBox), "", style | WS_CHILD, rect, parent, id);
}

int CComboBox::AddString(LPCSTR text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }

int CComboBox::InsertString(int index, LPCSTR text)
{
    QComboBox* combo = Combo(this);
    if (!combo)
        return CB_ERR;
    if (index < 0 || index > combo->count())
        index = combo->count();
    kvui::ProgrammaticChange change;
    const int selected = combo->currentIndex();
    const QString editText = combo->isEditable() ? combo->currentText() : QString();
    combo->insertItem(index, kvui::ToQ(text), QVariant::fromValue<qulonglong>(0));
    // Inserting never selects, as on the original platform.
    combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    if (selected < 0 && combo->isEditable())
        combo->setEditText(editText);
    return index;
}

int CComboBox::DeleteString(UINT index)
{
    QComboBox* combo = Combo(this);
    if (!combo || static_cast<int>(index) >= combo->count())
        return CB_ERR;
    kvui::ProgrammaticChange change;
    kvui::NotifyComboItemDeleted(GetImpl(), static_cast<int>(index));
    combo->removeItem(static_cast<int>(index));
    return combo->count();
}

void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetCount() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCOUNT)); }
int CComboBox::GetCurSel() const { return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCURSEL)); }
int CComboBox::SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }

int CComboBox::GetLBText(int index, CString& text) const
{
    QComboBox* combo = Combo(this);
    if (!combo || index < 0 || index >= combo->count()) {
        text.Empty();
        return CB_ERR;
    }
    text = kvui::FromQ(combo->itemText(index));
    return text.GetLength();
}

int CComboBox::GetLBTextLen(int index) const
{
    CString text;
    return GetLBText(index, text);
}

int CComboBox::SetItemData(int index, DWORD_PTR data)
{
    QComboBox* combo = Combo(this);
    if (!combo || index < 0 || index >= combo->count())
        return CB_ERR;
    combo->setItemData(index, QVariant::fromValue<qulonglong>(data));
    return 0;
}

DWORD_PTR CComboBox::GetItemData(int index) const
{
    QComboBox* combo = Combo(this);
    if (!combo || index < 0 || index >= combo->count())
        return static_cast<DWORD_PTR>(CB_ERR);
    return static_cast<DWORD_PTR>(combo->itemData(index).toULongLong());
}

namespace {
int Find(const QComboBox* combo, int startAfter, const char* text, bool exact)
{
    if (!combo || !text)
        return CB_ERR;
    const int count = combo->count();
    const QString wanted = kvui::ToQ(text);
    const int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        const QString item = combo->itemText(i);
        const bool match = exact ? item.compare(wanted, Qt::CaseInsensitive) == 0
                                 : item.startsWith(wanted, Qt::CaseInsensitive);
        if (match)
            return i;
    }
    return CB_ERR;
}
}  // namespace

int CComboBox::FindString(int startAfter, LPCSTR text) const { return Find(Combo(this), startAfter, text, false); }

int CComboBox::FindStringExact(int startAfter, LPCSTR text) const
{
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                                                      reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SelectString(int startAfter, LPCSTR text)
{
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
}

BOOL CComboBox::SetEditSel(int start, int end)
{
    return static_cast<BOOL>(SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(static_cast<WORD>(start), static_cast<WORD>(end))));
}

DWORD CComboBox::GetEditSel() const
{
    QComboBox* combo = Combo(this);
    if (!combo || !combo->lineEdit())
        return static_cast<DWORD>(CB_ERR);
    QLineEdit* edit = combo->lineEdit();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const int end = edit->hasSelectedText() ? edit->selectionEnd() : start;
    return MAKELONG(static_cast<WORD>(start), static_cast<WORD>(end));
}

void CComboBox::ShowDropDown(BOOL show) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(show)); }

BOOL CComboBox::GetDroppedState() const
{
    QComboBox* combo = Combo(this);
    return combo && combo->view() && combo->view()->isVisible() ? TRUE : FALSE;
}

BOOL CComboBox::LimitText(int maxChars)
{
    QComboBox* combo = Combo(this);
    if (!combo || !combo->lineEdit())
        return FALSE;
    combo->lineEdit()->setMaxLength(maxChars <= 0 ? 32767 : maxChars);
    return TRUE;
}

namespace kvui {
bool ComboMessage(CWndImpl* impl, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto* combo = qobject_cast<QComboBox*>(impl->widget.data());
    if (!combo)
        return false;
    ProgrammaticChange change;
    switch (message) {
    case CB_ADDSTRING: {
        const QString text = ToQ(reinterpret_cast<const char*>(lParam));
        int index = combo->count();
        if (impl->style & CBS_SORT) {
            index = 0;
            while (index < combo->count() && combo->itemText(index).compare(text, Qt::CaseInsensitive) <= 0)
                ++index;
        }
        const int selected = combo->currentIndex();
        const QString editText = combo->isEditable() ? combo->currentText() : QString();
        combo->insertItem(index, text, QVariant::fromValue<qulonglong>(0));
        combo->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
        if (selected < 0 && combo->isEditable())
            combo->setEditText(editText);
        *result = index;
        return true;
    }
    case CB_GETCOUNT: *result = combo->count(); return true;
    case CB_GETCURSEL: *result = combo->currentIndex(); return true;
    case CB_SETCURSEL: {
        const int index = static_cast<int>(static_cast<long>(wParam));
        if (index < 0 || index >= combo->count()) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable())
                combo->setEditText(QString());
            *result = CB_ERR;
        } else {
            combo->setCurrentIndex(index);
            *result = index;
        }
        return true;
    }
    case CB_RESETCONTENT:
        for (int i = combo->count() - 1; i >= 0; --i)
            NotifyComboItemDeleted(impl, i);
        combo->clear();
        if (combo->isEditable())
            combo->setEditText(QString());
        return true;
    case CB_FINDSTRINGEXACT:
        *result = Find(combo, static_cast<int>(static_cast<long>(wParam)), reinterpret_cast<const char*>(lParam), true);
        return true;
    case CB_SELECTSTRING: {
        const int index = Find(combo, static_cast<int>(static_cast<long>(wParam)), reinterpret_cast<const char*>(lParam), false);
        if (index >= 0)
            combo->setCurrentIndex(index);
        *result = index;
        return true;
    }
    case CB_SETEDITSEL: {
        QLineEdit* edit = combo->lineEdit();
        if (!edit) {
            *result = CB_ERR;  // a drop-down list has no edit
            return true;
        }
        const int start = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
        const int end = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
        const int length = static_cast<int>(edit->text().size());
        if (start < 0) {
            edit->deselect();
        } else {
            const int to = end < 0 || end > length ? length : end;
            edit->setSelection(std::min(start, length), to - std::min(start, length));
        }
        *result = TRUE;
        return true;
    }
    case CB_SHOWDROPDOWN:
        if (wParam) combo->showPopup();
        else combo->hidePopup();
        *result = TRUE;
        return true;
    default:
        return false;
    }
}
}  // namespace kvui
