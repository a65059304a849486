#include "setup/io/TavroIoPinDefinition.h"

#include <cctype>
#include <cstdlib>

namespace {

// Fields of a comma list; a run of commas is one separator.
CStringList Fields(const CString& text)
{
    CStringList fields;
    int start = 0;
    for (CString field = text.Tokenize(",", start); start >= 0; field = text.Tokenize(",", start))
        fields.AddTail(field);
    return fields;
}

constexpr int kMaxRange = 255;  // function numbers are one byte on the drive

}  // namespace

unsigned int StateWordBit(int number) { return number >= 0 && number < 32 ? 1u << number : 0u; }

CString CTavroIoPinDefinition::GetStateText(int level) const
{
    switch (m_levelStyle) {
    case 1: return level ? "HIGH" : "LOW";
    case 2: return level ? "ON" : "OFF";
    default: return "<ERROR>";
    }
}

CString CTavroIoPinDefinition::GetLabelsText() const
{
    CString text;
    for (const CString& label : m_labels) {
        if (!text.IsEmpty())
            text += ",";
        text += label;
    }
    return text;
}

int CTavroIoPinDefinition::Parse(const CString& text)
{
    m_labels.RemoveAll();
    m_allowedFunctions.RemoveAll();
    m_name.Empty();
    m_number = 0;
    int index = 0;
    for (const CString& raw : Fields(text)) {
        if (index == 0) {
            m_name = raw;
        } else if (index == 1) {
            m_number = std::atoi(raw);
        } else {
            CString field = raw;
            field.Trim();
            const char first = field.IsEmpty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(field.GetAt(0))));
            const int dash = field.Find('-');
            if (first == 'A') {
                m_levelStyle = std::atoi(field.Mid(1));
            } else if (first == 'P') {
                m_labels.AddTail(field.Mid(1));
            } else if (dash >= 0) {
                const int from = std::atoi(field.Left(dash)), to = std::atoi(field.Mid(dash + 1));
                // A range beyond one byte's function numbers is cut there, so a typo cannot loop for ever.
                for (int f = from; f <= to && f <= kMaxRange; ++f)
                    m_allowedFunctions.AddTail(f);
            } else if (!field.IsEmpty()) {
                m_allowedFunctions.AddTail(std::atoi(field));
            }
        }
        ++index;
    }
    return 1;
}
