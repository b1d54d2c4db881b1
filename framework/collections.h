// Pointer collections and the hash map: CPtrList, CPtrArray, CTypedPtrArray and CMap. The
// collections hold pointers they do not own. Where a caller passes an index or position that does
// not belong, reads give null and writes are ignored, so no memory outside the collection is touched.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <new>
#include <type_traits>
#include <vector>

#include "framework/cstring.h"

// An opaque iterator into a list or a map; null means "no more".
typedef struct __POSITION* POSITION;

class CPtrList {
public:
    // The block size is kept for source compatibility; nodes are allocated one by one.
    explicit CPtrList(INT_PTR blockSize = 10);
    ~CPtrList();
    CPtrList(const CPtrList&) = delete;
    CPtrList& operator=(const CPtrList&) = delete;

    INT_PTR GetCount() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    // Null when the list is empty.
    void* RemoveHead();

    POSITION AddTail(void* item);
    // Frees the nodes; the items themselves are the caller's.
    void RemoveAll();

    POSITION GetHeadPosition() const;
    // Returns the item at `pos` and moves `pos` to the next node, null after the last.
    void* GetNext(POSITION& pos) const;

    void* GetAt(POSITION pos) const;
    void RemoveAt(POSITION pos);

    // Searches from the node after `startAfter` (from the head when null).
    POSITION Find(void* item, POSITION startAfter = nullptr) const;
    // Null when the index is outside the list.
    POSITION FindIndex(INT_PTR index) const;

private:
    struct Node {
        Node* next;
        Node* prev;
        void* data;
    };
    static Node* ToNode(POSITION pos) { return reinterpret_cast<Node*>(pos); }
    static POSITION ToPosition(Node* node) { return reinterpret_cast<POSITION>(node); }
    void Unlink(Node* node);

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    INT_PTR m_count = 0;
};

class CPtrArray {
public:
    CPtrArray() = default;
    CPtrArray(const CPtrArray&) = delete;
    CPtrArray& operator=(const CPtrArray&) = delete;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }

    void RemoveAll() { m_data.clear(); }

    // Outside the array: GetAt gives null, ElementAt refers to a scratch slot.
    void* GetAt(INT_PTR index) const;
    void*& ElementAt(INT_PTR index);
    void* operator[](INT_PTR index) const { return GetAt(index); }
    void*& operator[](INT_PTR index) { return ElementAt(index); }
    void** GetData() { return m_data.empty() ? nullptr : m_data.data(); }
    void* const* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }

    // Returns the new element's index, or -1 when memory ran out.
    INT_PTR Add(void* item);
    // Returns the old size (the index of the first appended element).
    INT_PTR Append(const CPtrArray& other);

    // Inserts `count` copies of the item; an index past the end grows the array first.
    void InsertAt(INT_PTR index, void* item, INT_PTR count = 1);
    // Removes up to `count` elements from the index; a range past the end is cut at the end.
    void RemoveAt(INT_PTR index, INT_PTR count = 1);

private:
    bool Resize(size_t newSize);

    std::vector<void*> m_data;
    void* m_scratch = nullptr;
};

// A pointer array whose elements are of one pointer type.
template <class BASE_CLASS, class TYPE>
class CTypedPtrArray : public BASE_CLASS {
    static_assert(std::is_pointer<TYPE>::value, "CTypedPtrArray holds pointers");

public:
    TYPE GetAt(INT_PTR index) const { return static_cast<TYPE>(BASE_CLASS::GetAt(index)); }
    TYPE& ElementAt(INT_PTR index) { return reinterpret_cast<TYPE&>(BASE_CLASS::ElementAt(index)); }
    INT_PTR Add(TYPE item) { return BASE_CLASS::Add(item); }
    INT_PTR Append(const CTypedPtrArray& other) { return BASE_CLASS::Append(other); }
    void InsertAt(INT_PTR index, TYPE item, INT_PTR count = 1) { BASE_CLASS::InsertAt(index, item, count); }
    TYPE operator[](INT_PTR index) const { return GetAt(index); }
    TYPE& operator[](INT_PTR index) { return ElementAt(index); }
    TYPE* GetData() { return reinterpret_cast<TYPE*>(BASE_CLASS::GetData()); }
};

// Hash values for map keys: integers, enums and handles by value, strings by their text.
inline UINT HashKey(const wchar_t* key)
{
    UINT hash = 2166136261u;  // FNV-1a over the UTF-16 units
    for (; key && *key; ++key) hash = (hash ^ static_cast<UINT>(*key)) * 16777619u;
    return hash;
}
inline UINT HashKey(const CString& key) { return HashKey(key.GetString()); }

template <class KEY>
UINT HashKey(KEY key)
{
    if constexpr (std::is_pointer<KEY>::value) {
        uintptr_t value = reinterpret_cast<uintptr_t>(key);
        return static_cast<UINT>((value >> 4) ^ (value >> 32));
    } else if constexpr (std::is_enum<KEY>::value || std::is_integral<KEY>::value) {
        unsigned long long value = static_cast<unsigned long long>(key);
        return static_cast<UINT>(value ^ (value >> 32));
    } else {
        return static_cast<UINT>(std::hash<KEY>()(key));
    }
}

// A hash map from KEY to VALUE; ARG_KEY and ARG_VALUE are the types the members take them as.
// Iteration order is unspecified. Removing the association just returned by GetNextAssoc while
// iterating is safe.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
public:
    explicit CMap(INT_PTR blockSize = 10) { (void)blockSize; }
    ~CMap() { RemoveAll(); }
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;

    INT_PTR GetCount() const { return m_count; }
    BOOL IsEmpty() const { return m_count == 0; }

    BOOL Lookup(ARG_KEY key, VALUE& value) const
    {
        const Assoc* assoc = Find(key);
        if (!assoc) return FALSE;
        value = assoc->value;
        return TRUE;
    }

    // The value for the key, added with a default value when the key is new.
    VALUE& operator[](ARG_KEY key)
    {
        if (Assoc* found = Find(key)) return found->value;
        GrowIfCrowded();
        UINT hash = HashKey(key);
        size_t bucket = hash % m_buckets.size();
        Assoc* assoc = new Assoc{m_buckets[bucket], hash, KEY(key), VALUE()};
        m_buckets[bucket] = assoc;
        ++m_count;
        return assoc->value;
    }

    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

    BOOL RemoveKey(ARG_KEY key)
    {
        if (m_buckets.empty()) return FALSE;
        UINT hash = HashKey(key);
        for (Assoc** link = &m_buckets[hash % m_buckets.size()]; *link; link = &(*link)->next) {
            if ((*link)->hash == hash && (*link)->key == key) {
                Assoc* removed = *link;
                *link = removed->next;
                delete removed;
                --m_count;
                return TRUE;
            }
        }
        return FALSE;
    }

    void RemoveAll()
    {
        for (Assoc*& head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                delete head;
                head = next;
            }
        }
        m_buckets.clear();
        m_count = 0;
    }

    POSITION GetStartPosition() const { return ToPosition(FirstFrom(0)); }

    // Reads the association at `pos` and moves `pos` to the next one, null after the last.
    // A null `pos` leaves key and value untouched.
    void GetNextAssoc(POSITION& pos, KEY& key, VALUE& value) const
    {
        const Assoc* assoc = reinterpret_cast<const Assoc*>(pos);
        if (!assoc) return;
        key = assoc->key;
        value = assoc->value;
        const Assoc* next = assoc->next ? assoc->next : FirstFrom(assoc->hash % m_buckets.size() + 1);
        pos = ToPosition(next);
    }

private:
    struct Assoc {
        Assoc* next;
        UINT hash;
        KEY key;
        VALUE value;
    };

    static POSITION ToPosition(const Assoc* assoc) { return reinterpret_cast<POSITION>(const_cast<Assoc*>(assoc)); }

    Assoc* Find(ARG_KEY key) const
    {
        if (m_buckets.empty()) return nullptr;
        UINT hash = HashKey(key);
        for (Assoc* assoc = m_buckets[hash % m_buckets.size()]; assoc; assoc = assoc->next) {
            if (assoc->hash == hash && assoc->key == key) return assoc;
        }
        return nullptr;
    }

    const Assoc* FirstFrom(size_t bucket) const
    {
        for (; bucket < m_buckets.size(); ++bucket) {
            if (m_buckets[bucket]) return m_buckets[bucket];
        }
        return nullptr;
    }

    // Keeps chains short. Rehashing reorders the table, so it happens only when a key is added.
    void GrowIfCrowded()
    {
        if (m_buckets.empty()) {
            m_buckets.assign(17, nullptr);
            return;
        }
        if (static_cast<size_t>(m_count) < m_buckets.size() * 2) return;
        std::vector<Assoc*> bigger(m_buckets.size() * 4 + 1, nullptr);
        for (Assoc* head : m_buckets) {
            while (head) {
                Assoc* next = head->next;
                size_t bucket = head->hash % bigger.size();
                head->next = bigger[bucket];
                bigger[bucket] = head;
                head = next;
            }
        }
        m_buckets.swap(bigger);
    }

    std::vector<Assoc*> m_buckets;
    INT_PTR m_count = 0;
};
