// Reading a dialog template laid out in memory (DLGTEMPLATE and its items).
#include <QString>
#include <cstring>

#include "DialogTemplate.h"
#include "DialogTemplateBinary.h"
#include "UiTypes.h"

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Word(WORD& value)
    {
        if (m_at + 2 > m_size)
            return false;
        std::memcpy(&value, m_data + m_at, 2);
        m_at += 2;
        return true;
    }
    bool Bytes(void* out, size_t count)
    {
        if (m_at + count > m_size)
            return false;
        std::memcpy(out, m_data + m_at, count);
        m_at += count;
        return true;
    }
    // A zero-terminated UTF-16 text.
    bool Text(CString& text)
    {
        QString q;
        WORD ch = 0;
        while (Word(ch) && ch != 0)
            q += QChar(ch);
        if (ch != 0)
            return false;
        text = CString(q.toUtf8().constData());
        return true;
    }
    // 0: none; 0xFFFF and an ordinal; else a text.
    bool NameOrOrdinal(CString& text, WORD& ordinal)
    {
        WORD first = 0;
        ordinal = 0;
        text.Empty();
        if (!Word(first))
            return false;
        if (first == 0)
            return true;
        if (first == 0xFFFF)
            return Word(ordinal);
        m_at -= 2;
        return Text(text);
    }
    bool AlignToDword()
    {
        m_at = (m_at + 3) & ~size_t{3};
        return m_at <= m_size;
    }
    bool Skip(size_t count)
    {
        m_at += count;
        return m_at <= m_size;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_at = 0;
};

bool KindOf(WORD atom, const CString& className, DWORD style, ControlKind& kind)
{
    switch (atom) {
    case 0x0080: kind = (style & BS_TYPEMASK) == BS_GROUPBOX ? ControlKind::GroupBox : ControlKind::Button; return true;
    case 0x0081: kind = ControlKind::Edit; return true;
    case 0x0082: kind = ControlKind::Static; return true;
    case 0x0083: kind = ControlKind::ListBox; return true;
    case 0x0085: kind = ControlKind::ComboBox; return true;
    default: break;
    }
    struct Named {
        const char* name;
        ControlKind kind;
    };
    static const Named kNamed[] = {
        {"Button", ControlKind::Button},           {"Edit", ControlKind::Edit},
        {"Static", ControlKind::Static},           {"ListBox", ControlKind::ListBox},
        {"ComboBox", ControlKind::ComboBox},       {"SysListView32", ControlKind::ListView},
        {"msctls_progress32", ControlKind::Progress}, {"msctls_updown32", ControlKind::Spin},
        {"SysTabControl32", ControlKind::Tab},     {"RichEdit20A", ControlKind::RichEdit},
        {"RICHEDIT50W", ControlKind::RichEdit},
    };
    for (const auto& named : kNamed)
        if (className.CompareNoCase(named.name) == 0) {
            kind = named.kind;
            return true;
        }
    return false;
}

}  // namespace

bool ReadBinaryDialogTemplate(const void* data, size_t size, DialogTemplate& result, CString& error)
{
    if (!data) {
        error = "no template";
        return false;
    }
    Reader in(static_cast<const BYTE*>(data), size);
    DLGTEMPLATE head{};
    CString name;
    WORD ordinal = 0;
    if (!in.Bytes(&head, sizeof head) || !in.NameOrOrdinal(name, ordinal) || !in.NameOrOrdinal(name, ordinal) ||
        !in.Text(result.caption)) {
        error = "the template's head is cut short";
        return false;
    }
    result.style = head.style;
    result.x = head.x;
    result.y = head.y;
    result.cx = head.cx;
    result.cy = head.cy;
    if (head.style & DS_SETFONT) {
        WORD points = 0;
        if (!in.Word(points) || !in.Text(result.faceName)) {
            error = "the template's font is cut short";
            return false;
        }
        result.pointSize = points;
    }
    for (WORD i = 0; i < head.cdit; ++i) {
        DLGITEMTEMPLATE item{};
        DialogControlTemplate control;
        CString className;
        WORD atom = 0, extra = 0, textOrdinal = 0;
        if (!in.AlignToDword() || !in.Bytes(&item, sizeof item) || !in.NameOrOrdinal(className, atom) ||
            !in.NameOrOrdinal(control.text, textOrdinal) || !in.Word(extra) || !in.Skip(extra)) {
            error.Format("item %u is cut short", static_cast<unsigned>(i));
            return false;
        }
        if (!KindOf(atom, className, item.style, control.kind)) {
            error.Format("item %u has an unknown class", static_cast<unsigned>(i));
            return false;
        }
        control.id = item.id == 0xFFFF ? -1 : item.id;
        control.x = item.x;
        control.y = item.y;
        control.cx = item.cx;
        control.cy = item.cy;
        control.style = item.style;
        control.exStyle = item.dwExtendedStyle;
        result.controls.push_back(control);
    }
    return true;
}
