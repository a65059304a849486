// CArray: a growable array with the class library's interface, over std::vector.
#pragma once

#include <cassert>
#include <vector>

#include "WinTypes.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;
    virtual ~CArray() = default;
    CArray(const CArray&) = default;
    CArray& operator=(const CArray&) = default;
    CArray(CArray&&) noexcept = default;
    CArray& operator=(CArray&&) noexcept = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }
    void SetSize(INT_PTR newSize, INT_PTR /*growBy*/ = -1) { m_items.resize(static_cast<size_t>(newSize < 0 ? 0 : newSize)); }
    void FreeExtra() { m_items.shrink_to_fit(); }
    void RemoveAll() { m_items.clear(); }

    TYPE& GetAt(INT_PTR i) { return At(i); }
    const TYPE& GetAt(INT_PTR i) const { return At(i); }
    void SetAt(INT_PTR i, ARG_TYPE value) { At(i) = value; }
    TYPE& ElementAt(INT_PTR i) { return At(i); }
    TYPE& operator[](INT_PTR i) { return At(i); }
    const TYPE& operator[](INT_PTR i) const { return At(i); }
    TYPE* GetData() { return m_items.data(); }
    const TYPE* GetData() const { return m_items.data(); }

    void SetAtGrow(INT_PTR i, ARG_TYPE value)
    {
        if (i >= GetSize())
            SetSize(i + 1);
        At(i) = value;
    }
    INT_PTR Add(ARG_TYPE value)
    {
        m_items.push_back(value);
        return GetSize() - 1;
    }
    INT_PTR Append(const CArray& other)
    {
        const INT_PTR old = GetSize();
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return old;
    }
    void Copy(const CArray& other)
    {
        if (this != &other)
            m_items = other.m_items;
    }
    void InsertAt(INT_PTR index, ARG_TYPE value, INT_PTR count = 1)
    {
        assert(index >= 0 && count >= 0);
        if (index >= GetSize())
            SetSize(index);
        m_items.insert(m_items.begin() + index, static_cast<size_t>(count), value);
    }
    void RemoveAt(INT_PTR index, INT_PTR count = 1)
    {
        assert(index >= 0 && count >= 0 && index + count <= GetSize());
        m_items.erase(m_items.begin() + index, m_items.begin() + index + count);
    }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    TYPE& At(INT_PTR i)
    {
        assert(i >= 0 && i < GetSize());
        return m_items[static_cast<size_t>(i)];
    }
    const TYPE& At(INT_PTR i) const
    {
        assert(i >= 0 && i < GetSize());
        return m_items[static_cast<size_t>(i)];
    }

    std::vector<TYPE> m_items;
};
