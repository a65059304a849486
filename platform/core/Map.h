// CMap: a hash map iterated by POSITION. Iteration follows insertion order;
// a position stays valid until its own entry is removed. Range-for gives each
// entry's key and value in the same order: `for (auto [key, value] : map)`.
#pragma once

#include <cassert>
#include <cstddef>
#include <functional>
#include <iterator>
#include <unordered_map>

#include "WinTypes.h"

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
    struct Node {
        Node(const KEY& k, const VALUE& v) : key(k), value(v) {}
        Node* next = nullptr;
        Node* prev = nullptr;
        KEY key;
        VALUE value;
    };

    template <class Value, class NodePtr>
    class Iterator {
    public:
        struct Entry {
            const KEY& key;
            Value& value;
        };
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Entry;
        Iterator() = default;
        explicit Iterator(NodePtr node) : m_node(node) {}
        Entry operator*() const { return Entry{m_node->key, m_node->value}; }
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
    using iterator = Iterator<VALUE, Node*>;
    using const_iterator = Iterator<const VALUE, const Node*>;

    CMap() = default;
    CMap(const CMap& other) { CopyFrom(other); }
    CMap& operator=(const CMap& other)
    {
        if (this != &other) {
            RemoveAll();
            CopyFrom(other);
        }
        return *this;
    }
    virtual ~CMap() { RemoveAll(); }

    int GetCount() const { return static_cast<int>(m_index.size()); }
    int GetSize() const { return GetCount(); }
    bool IsEmpty() const { return m_index.empty(); }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        auto it = m_index.find(KEY(key));
        if (it == m_index.end())
            return FALSE;
        value = it->second->value;
        return TRUE;
    }
    VALUE* PLookup(ARG_KEY key)
    {
        auto it = m_index.find(KEY(key));
        return it == m_index.end() ? nullptr : &it->second->value;
    }
    VALUE& operator[](ARG_KEY key)
    {
        KEY k(key);
        auto it = m_index.find(k);
        if (it != m_index.end())
            return it->second->value;
        return Append(k, VALUE())->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
    BOOL RemoveKey(ARG_KEY key)
    {
        auto it = m_index.find(KEY(key));
        if (it == m_index.end())
            return FALSE;
        Node* n = it->second;
        m_index.erase(it);
        Unlink(n);
        return TRUE;
    }
    void RemoveAll()
    {
        m_index.clear();
        while (m_head) {
            Node* n = m_head;
            m_head = n->next;
            delete n;
        }
        m_tail = nullptr;
    }

    iterator begin() { return iterator(m_head); }
    iterator end() { return iterator(); }
    const_iterator begin() const { return const_iterator(m_head); }
    const_iterator end() const { return const_iterator(); }

    POSITION GetStartPosition() const { return reinterpret_cast<POSITION>(m_head); }
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const
    {
        Node* n = reinterpret_cast<Node*>(pos);
        assert(n);
        key = n->key;
        value = n->value;
        pos = reinterpret_cast<POSITION>(n->next);
    }

private:
    void CopyFrom(const CMap& other)
    {
        for (Node* n = other.m_head; n; n = n->next)
            Append(n->key, n->value);
    }
    Node* Append(const KEY& key, const VALUE& value)
    {
        Node* n = new Node(key, value);
        n->prev = m_tail;
        if (m_tail)
            m_tail->next = n;
        else
            m_head = n;
        m_tail = n;
        m_index.emplace(key, n);
        return n;
    }
    void Unlink(Node* n)
    {
        if (n->prev)
            n->prev->next = n->next;
        else
            m_head = n->next;
        if (n->next)
            n->next->prev = n->prev;
        else
            m_tail = n->prev;
        delete n;
    }

    std::unordered_map<KEY, Node*> m_index;
    Node* m_head = nullptr;
    Node* m_tail = nullptr;
};
