#include "framework/collections.h"

#include <algorithm>
#include <stdexcept>

// ---- CPtrList ----------------------------------------------------------------------------------

CPtrList::CPtrList(INT_PTR blockSize) { (void)blockSize; }

CPtrList::~CPtrList() { RemoveAll(); }

void* CPtrList::RemoveHead()
{
    if (!m_head) return nullptr;
    void* data = m_head->data;
    RemoveAt(ToPosition(m_head));
    return data;
}

POSITION CPtrList::AddTail(void* item)
{
    Node* node = new Node{nullptr, m_tail, item};
    if (m_tail) m_tail->next = node;
    else m_head = node;
    m_tail = node;
    ++m_count;
    return ToPosition(node);
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

void* CPtrList::GetNext(POSITION& pos) const
{
    Node* node = ToNode(pos);
    if (!node) return nullptr;
    pos = ToPosition(node->next);
    return node->data;
}

void* CPtrList::GetAt(POSITION pos) const
{
    Node* node = ToNode(pos);
    return node ? node->data : nullptr;
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

void* CPtrArray::GetAt(INT_PTR index) const
{
    if (index < 0 || index >= GetSize()) return nullptr;
    return m_data[static_cast<size_t>(index)];
}

void*& CPtrArray::ElementAt(INT_PTR index)
{
    if (index < 0 || index >= GetSize()) {
        m_scratch = nullptr;
        return m_scratch;
    }
    return m_data[static_cast<size_t>(index)];
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

void CPtrArray::RemoveAt(INT_PTR index, INT_PTR count)
{
    if (index < 0 || index >= GetSize() || count <= 0) return;
    INT_PTR end = count > GetSize() - index ? GetSize() : index + count;
    m_data.erase(m_data.begin() + index, m_data.begin() + end);
}
