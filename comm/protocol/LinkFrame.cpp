#include "comm/protocol/LinkFrame.h"

int CLinkFrame::WireWidth(const CAmpMsg& message)
{
    return message.m_width > kMaxWidth ? kMaxWidth : message.m_width;
}

int CLinkFrame::Encode(const CAmpMsg& message, BYTE* out)
{
    const int width = WireWidth(message);
    const auto header = static_cast<BYTE>((width << 5) | (message.m_address & 0x1F));
    int length = 0;
    out[length++] = header;
    out[length++] = static_cast<BYTE>(message.m_code >> 8);
    out[length++] = static_cast<BYTE>(message.m_code & 0xFF);
    const auto value = static_cast<DWORD>(message.m_value);
    for (int i = 0; i < width; ++i)
        out[length++] = static_cast<BYTE>(value >> (8 * i));
    out[length++] = static_cast<BYTE>(header ^ 0xFF);
    return length;
}

int CLinkFrame::Read(CRingBuff& ring, CAmpMsg& message)
{
    const int header = ring.GetByte();
    if (header < 0)
        return kIncomplete;
    const int width = header >> 5;
    message.m_address = static_cast<BYTE>(header & 0x1F);
    if (width > kMaxWidth)
        return kBadWidth;
    const int high = ring.GetByte();
    const int low = high < 0 ? -1 : ring.GetByte();
    if (low < 0)
        return kIncomplete;
    message.m_code = static_cast<WORD>((high << 8) | low);
    DWORD value = 0;
    for (int i = 0; i < width; ++i) {
        const int b = ring.GetByte();
        if (b < 0)
            return kIncomplete;
        value |= static_cast<DWORD>(b) << (8 * i);
    }
    message.m_value = static_cast<LONG>(value);
    message.m_width = static_cast<BYTE>(width);
    message.m_flag = 0;
    const int check = ring.GetByte();
    if (check < 0)
        return kIncomplete;
    if (check != (header ^ 0xFF))
        return kBadCheck;
    return kRead;
}
