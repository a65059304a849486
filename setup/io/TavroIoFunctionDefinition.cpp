#include "setup/io/TavroIoFunctionDefinition.h"

#include <cstdlib>
#include <vector>

#include "platform/core/IniFile.h"

namespace {

constexpr DWORD kValueSize = 1000;

bool ReadValue(const CString& file, const CString& section, const CString& key, CString& value)
{
    std::vector<char> buffer(kValueSize);
    GetPrivateProfileString(section, key, "", buffer.data(), kValueSize, file);
    value = buffer.data();
    return !value.IsEmpty();
}

std::vector<CString> Fields(const CString& text)
{
    std::vector<CString> fields;
    int start = 0;
    for (CString field = text.Tokenize(",", start); start >= 0; field = text.Tokenize(",", start))
        fields.push_back(field);
    return fields;
}

}  // namespace

CString CTavroIoFunctionDefinition::FormatName(int bit) const
{
    if (bit == -1 || !HasNamedBits())
        return m_name;
    CString bitName;
    if (!m_bitNames.Lookup(bit, bitName))
        bitName = "<Unknown>";
    return m_name + ":" + bitName;
}

int CTavroIoFunctionDefinition::Parse(const CString& file, const CString& section, int index, bool hasBits,
                                      bool hasCanDupField, bool hasSetActiveField)
{
    CString key, value;
    key.Format("Function%d", index);
    if (!ReadValue(file, section, key, value))
        return 0;
    const std::vector<CString> fields = Fields(value);
    if (fields.size() < 2)
        return 0;
    m_number = std::atoi(fields[0]);
    m_name = fields[1];
    size_t next = 2;
    m_canDuplicate = 1;
    m_setActive = 1;
    if (hasCanDupField || hasSetActiveField) {
        if (fields.size() < 4 || fields[2].IsEmpty() || fields[3].IsEmpty())
            return 0;
        CString canDup = fields[2], setActive = fields[3];
        m_canDuplicate = canDup.Trim().CompareNoCase("CANDUP") == 0;
        m_setActive = setActive.Trim().CompareNoCase("SETACTIVE") == 0;
        next = 4;
    }
    for (size_t i = next; i < fields.size() && i < next + 2; ++i) {
        CString field = fields[i];
        field.Trim();
        if (field.IsEmpty())
            continue;
        if (field.GetAt(0) == 'G') {
            m_hasStatusBit = 1;
            m_statusBit = std::atoi(field.Mid(1));
        } else if (field.GetAt(0) == 'D') {
            m_shown = 1;
        }
    }
    if (!hasBits)
        return 1;
    key.Format("Function%dBitCount", index);
    if (!ReadValue(file, section, key, value))
        return 0;
    const int bits = std::atoi(value);
    for (int bit = 0; bit < bits; ++bit) {
        key.Format("Function%dBit%d", index, bit);
        if (!ReadValue(file, section, key, value))
            return 0;
        const int comma = value.Find(',');
        const int number = std::atoi(comma >= 0 ? value.Left(comma) : value);
        m_bitNames[number] = comma >= 0 ? value.Mid(comma + 1) : CString();
        m_bitOrder.AddTail(number);
    }
    return 1;
}
