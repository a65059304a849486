// CList: a doubly linked list addressed by POSITION. A position stays valid
// until its own element is removed, whatever else is added or removed.
// Range-for walks it head to tail; a loop that removes elements keeps to
// positions.
#pragma once

#include <cassert>
#include <cstddef>
#include <iterator>
#include <utility>

#include "WinTypes.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
    struct Node {
        explicit Node(ARG_TYPE value) : data(value) {}
        Node* next = nullptr;
        Node* prev = nullptr;
        TYPE data;
    };

    template <class Value, class NodePtr>
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TYPE;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;
        Iterator() = default;
        explicit Iterator(NodePtr node) : m_node(node) {}
        reference operator*() const { return m_node->data; }
        pointer operator->() const { return &m_node->data; }
        Iterator& operator++()
        {
            m_node = m_node->next;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            m_node = m_node->next;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_node == other.m_node; }

    private:
        NodePtr m_node = nullptr;
    };

public:
    using iterator = Iterator<TYPE, Node*>;
    using const_iterator = Iterator<const TYPE, const Node*>;

    CList() = default;
    CList(const CList& other) { AddTail(&other); }
    CList& operator=(const CList& other)
    {
        if (this != &other) {
            RemoveAll();
            AddTail(&other);
        }
        return *this;
    }
    CList(CList&& other) noexcept { Swap(other); }
    CList& operator=(CList&& other) noexcept
    {
        if (this != &other) {
            RemoveAll();
            Swap(other);
        }
        return *this;
    }
    virtual ~CList() { RemoveAll(); }

    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    TYPE& GetHead() { assert(m_head); return m_head->data; }
    const TYPE& GetHead() const { assert(m_head); return m_head->data; }
    TYPE& GetTail() { assert(m_tail); return m_tail->data; }
    const TYPE& GetTail() const { assert(m_tail); return m_tail->data; }

    POSITION AddHead(ARG_TYPE value) { return InsertBefore(ToPos(m_head), value); }
    POSITION AddTail(ARG_TYPE value) { return InsertAfter(ToPos(m_tail), value); }
    void AddTail(const CList* other)
    {
        for (Node* n = other->m_head; n; n = n->next)
            AddTail(n->data);
    }
    void AddHead(const CList* other)
    {
        for (Node* n = other->m_tail; n; n = n->prev)
            AddHead(n->data);
    }

    TYPE RemoveHead()
    {
        assert(m_head);
        TYPE value = std::move(m_head->data);
        Unlink(m_head);
        return value;
    }
    TYPE RemoveTail()
    {
        assert(m_tail);
        TYPE value = std::move(m_tail->data);
        Unlink(m_tail);
        return value;
    }
    void RemoveAll()
    {
        while (m_head)
            Unlink(m_head);
    }

    iterator begin() { return iterator(m_head); }
    iterator end() { return iterator(); }
    const_iterator begin() const { return const_iterator(m_head); }
    const_iterator end() const { return const_iterator(); }

    POSITION GetHeadPosition() const { return ToPos(m_head); }
    POSITION GetTailPosition() const { return ToPos(m_tail); }
    TYPE& GetNext(POSITION& pos)
    {
        Node* n = ToNode(pos);
        pos = ToPos(n->next);
        return n->data;
    }
    const TYPE& GetNext(POSITION& pos) const
    {
        Node* n = ToNode(pos);
        pos = ToPos(n->next);
        return n->data;
    }
    TYPE& GetPrev(POSITION& pos)
    {
        Node* n = ToNode(pos);
        pos = ToPos(n->prev);
        return n->data;
    }
    const TYPE& GetPrev(POSITION& pos) const
    {
        Node* n = ToNode(pos);
        pos = ToPos(n->prev);
        return n->data;
    }
    TYPE& GetAt(POSITION pos) { return ToNode(pos)->data; }
    const TYPE& GetAt(POSITION pos) const { return ToNode(pos)->data; }
    void SetAt(POSITION pos, ARG_TYPE value) { ToNode(pos)->data = value; }
    void RemoveAt(POSITION pos) { Unlink(ToNode(pos)); }

    POSITION InsertBefore(POSITION pos, ARG_TYPE value)
    {
        Node* at = ToNode(pos);
        Node* n = new Node(value);
        if (!at) {  // empty list or no position: becomes the head
            n->next = m_head;
            if (m_head)
                m_head->prev = n;
            else
                m_tail = n;
            m_head = n;
        } else {
            n->next = at;
            n->prev = at->prev;
            if (at->prev)
                at->prev->next = n;
            else
                m_head = n;
            at->prev = n;
        }
        ++m_count;
        return ToPos(n);
    }
    POSITION InsertAfter(POSITION pos, ARG_TYPE value)
    {
        Node* at = ToNode(pos);
        if (!at)
            return InsertBefore(ToPos(m_head), value);
        Node* n = new Node(value);
        n->prev = at;
        n->next = at->next;
        if (at->next)
            at->next->prev = n;
        else
            m_tail = n;
        at->next = n;
        ++m_count;
        return ToPos(n);
    }

    POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const
    {
        Node* n = startAfter ? ToNode(startAfter)->next : m_head;
        for (; n; n = n->next) {
            if (n->data == value)
                return ToPos(n);
        }
        return nullptr;
    }
    POSITION FindIndex(int index) const
    {
        if (index < 0 || index >= m_count)
            return nullptr;
        Node* n = m_head;
        while (index-- > 0)
            n = n->next;
        return ToPos(n);
    }

    void Swap(CList& other) noexcept
    {
        std::swap(m_head, other.m_head);
        std::swap(m_tail, other.m_tail);
        std::swap(m_count, other.m_count);
    }

private:
    static POSITION ToPos(Node* n) { return reinterpret_cast<POSITION>(n); }
    static Node* ToNode(POSITION p) { return reinterpret_cast<Node*>(p); }

    void Unlink(Node* n)
    {
        assert(n);
        if (n->prev)
            n->prev->next = n->next;
        else
            m_head = n->next;
        if (n->next)
            n->next->prev = n->prev;
        else
            m_tail = n->prev;
        --m_count;
        delete n;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};
