// CFunctionAndBit: a drive function with one of its bits, as pin queries give them.
#pragma once

class CFunctionAndBit {
public:
    CFunctionAndBit() = default;
    CFunctionAndBit(int function, int bit) : m_function(function), m_bit(bit) {}
    bool operator==(const CFunctionAndBit& other) const { return m_function == other.m_function && m_bit == other.m_bit; }

    int m_function = 0;
    int m_bit = 0;
};
