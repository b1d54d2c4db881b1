#include "framework/collections.h"

#include <algorithm>
#include <stdexcept>

// ---- CPtrList ----------------------------------------------------------------------------------

CPtrList::CPtrList(INT_PTR blockSize) { (void)blockSize; }

CPtrList::~CPtrList() { RemoveAll(); }

void*& CPtrList::GetHead()
{
    if (m_head) return m_head->data;
    m_scratch = nullptr;
    return m_scratch;
}

void* CPtrList::GetHead() const { return m_head ? m_head->data : nullptr; }

void*& CPtrList::GetTail()
{
    if (m_tail) return m_tail->data;
    m_scratch = nullptr;
    return m_scratch;
}

void* CPtrList::GetTail() const { return m_tail ? m_tail->data : nullptr; }

void* CPtrList::RemoveHead()
{
    if (!m_head) return nullptr;
    void* data = m_head->data;
    RemoveAt(ToPosition(m_head));
    return data;
}

void* CPtrList::RemoveTail()
{
    if (!m_tail) return nullptr;
    void* data = m_tail->data;
    RemoveAt(ToPosition(m_tail));
    return data;
}

POSITION CPtrList::AddHead(void* item) { return InsertBefore(nullptr, item); }

POSITION CPtrList::AddTail(void* item) { return InsertAfter(nullptr, item); }

void CPtrList::AddHead(const CPtrList* other)
{
    if (!other) return;
    // Walk backwards so the other list keeps its order; adding a list to itself doubles it.
    INT_PTR remaining = other->m_count;
    for (Node* node = other->m_tail; node && remaining > 0; --remaining) {
        Node* prev = node->prev;
        AddHead(node->data);
        node = prev;
    }
}

void CPtrList::AddTail(const CPtrList* other)
{
    if (!other) return;
    INT_PTR remaining = other->m_count;
    for (Node* node = other->m_head; node && remaining > 0; --remaining) {
        Node* next = node->next;
        AddTail(node->data);
        node = next;
    }
}

void CPtrList::RemoveAll()
{
    Node* node = m_head;
    while (node) {
        Node* next = node->next;
        delete node;
        node = next;
    }
    m_head = m_tail = nullptr;
    m_count = 0;
}

POSITION CPtrList::GetHeadPosition() const { return ToPosition(m_head); }

POSITION CPtrList::GetTailPosition() const { return ToPosition(m_tail); }

void*& CPtrList::GetNext(POSITION& pos)
{
    Node* node = ToNode(pos);
    if (!node) {
        m_scratch = nullptr;
        return m_scratch;
    }
    pos = ToPosition(node->next);
    return node->data;
}

void* CPtrList::GetNext(POSITION& pos) const
{
    Node* node = ToNode(pos);
    if (!node) return nullptr;
    pos = ToPosition(node->next);
    return node->data;
}

void*& CPtrList::GetPrev(POSITION& pos)
{
    Node* node = ToNode(pos);
    if (!node) {
        m_scratch = nullptr;
        return m_scratch;
    }
    pos = ToPosition(node->prev);
    return node->data;
}

void* CPtrList::GetPrev(POSITION& pos) const
{
    Node* node = ToNode(pos);
    if (!node) return nullptr;
    pos = ToPosition(node->prev);
    return node->data;
}

void*& CPtrList::GetAt(POSITION pos)
{
    Node* node = ToNode(pos);
    if (node) return node->data;
    m_scratch = nullptr;
    return m_scratch;
}

void* CPtrList::GetAt(POSITION pos) const
{
    Node* node = ToNode(pos);
    return node ? node->data : nullptr;
}

void CPtrList::SetAt(POSITION pos, void* item)
{
    if (Node* node = ToNode(pos)) node->data = item;
}

void CPtrList::Unlink(Node* node)
{
    if (node->prev) node->prev->next = node->next;
    else m_head = node->next;
    if (node->next) node->next->prev = node->prev;
    else m_tail = node->prev;
    --m_count;
}

void CPtrList::RemoveAt(POSITION pos)
{
    Node* node = ToNode(pos);
    if (!node) return;
    Unlink(node);
    delete node;
}

POSITION CPtrList::InsertBefore(POSITION pos, void* item)
{
    Node* at = ToNode(pos);
    if (!at) at = m_head;
    Node* node = new Node{at, at ? at->prev : nullptr, item};
    if (node->prev) node->prev->next = node;
    else m_head = node;
    if (at) at->prev = node;
    else m_tail = node;
    ++m_count;
    return ToPosition(node);
}

POSITION CPtrList::InsertAfter(POSITION pos, void* item)
{
    Node* at = ToNode(pos);
    if (!at) at = m_tail;
    Node* node = new Node{at ? at->next : nullptr, at, item};
    if (node->next) node->next->prev = node;
    else m_tail = node;
    if (at) at->next = node;
    else m_head = node;
    ++m_count;
    return ToPosition(node);
}

POSITION CPtrList::Find(void* item, POSITION startAfter) const
{
    Node* node = startAfter ? ToNode(startAfter)->next : m_head;
    for (; node; node = node->next) {
        if (node->data == item) return ToPosition(node);
    }
    return nullptr;
}

POSITION CPtrList::FindIndex(INT_PTR index) const
{
    if (index < 0 || index >= m_count) return nullptr;
    Node* node = m_head;
    while (index-- > 0) node = node->next;
    return ToPosition(node);
}

// ---- CPtrArray ---------------------------------------------------------------------------------

bool CPtrArray::Resize(size_t newSize)
{
    try {
        m_data.resize(newSize, nullptr);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

void CPtrArray::SetSize(INT_PTR newSize, INT_PTR growBy)
{
    (void)growBy;
    if (newSize < 0) return;
    Resize(static_cast<size_t>(newSize));
}

void* CPtrArray::GetAt(INT_PTR index) const
{
    if (index < 0 || index >= GetSize()) return nullptr;
    return m_data[static_cast<size_t>(index)];
}

void CPtrArray::SetAt(INT_PTR index, void* item)
{
    if (index < 0 || index >= GetSize()) return;
    m_data[static_cast<size_t>(index)] = item;
}

void*& CPtrArray::ElementAt(INT_PTR index)
{
    if (index < 0 || index >= GetSize()) {
        m_scratch = nullptr;
        return m_scratch;
    }
    return m_data[static_cast<size_t>(index)];
}

void CPtrArray::SetAtGrow(INT_PTR index, void* item)
{
    if (index < 0) return;
    if (index >= GetSize() && !Resize(static_cast<size_t>(index) + 1)) return;
    m_data[static_cast<size_t>(index)] = item;
}

INT_PTR CPtrArray::Add(void* item)
{
    INT_PTR index = GetSize();
    if (!Resize(m_data.size() + 1)) return -1;
    m_data[static_cast<size_t>(index)] = item;
    return index;
}

INT_PTR CPtrArray::Append(const CPtrArray& other)
{
    INT_PTR oldSize = GetSize();
    if (&other == this) {
        std::vector<void*> copy(m_data);
        if (Resize(m_data.size() + copy.size())) std::copy(copy.begin(), copy.end(), m_data.begin() + oldSize);
        return oldSize;
    }
    if (Resize(m_data.size() + other.m_data.size()))
        std::copy(other.m_data.begin(), other.m_data.end(), m_data.begin() + oldSize);
    return oldSize;
}

void CPtrArray::Copy(const CPtrArray& other)
{
    if (&other == this) return;
    std::vector<void*> copy;
    try {
        copy = other.m_data;
    } catch (const std::bad_alloc&) {
        return;
    }
    m_data.swap(copy);
}

void CPtrArray::InsertAt(INT_PTR index, void* item, INT_PTR count)
{
    if (index < 0 || count <= 0) return;
    size_t at = static_cast<size_t>(index);
    size_t n = static_cast<size_t>(count);
    if (at > m_data.size()) {
        // Past the end: the gap is filled with nulls, as SetSize would.
        if (!Resize(at + n)) return;
        std::fill(m_data.begin() + index, m_data.end(), item);
        return;
    }
    try {
        m_data.insert(m_data.begin() + index, n, item);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void CPtrArray::InsertAt(INT_PTR startIndex, const CPtrArray* other)
{
    if (!other || startIndex < 0 || other->m_data.empty()) return;
    std::vector<void*> items(other->m_data);  // `other` may be this array
    size_t at = static_cast<size_t>(startIndex);
    if (at > m_data.size() && !Resize(at)) return;
    try {
        m_data.insert(m_data.begin() + startIndex, items.begin(), items.end());
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void CPtrArray::RemoveAt(INT_PTR index, INT_PTR count)
{
    if (index < 0 || index >= GetSize() || count <= 0) return;
    INT_PTR end = count > GetSize() - index ? GetSize() : index + count;
    m_data.erase(m_data.begin() + index, m_data.begin() + end);
}
