#include "framework/collections.h"
#include "framework/sync.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <set>
#include <vector>

namespace {

int g_items[10];
void* Item(int i) { return &g_items[i]; }

// The list's items from head to tail, as indexes into g_items; checks the backward links agree.
std::vector<int> Contents(const CPtrList& list)
{
    std::vector<int> forward;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        forward.push_back(static_cast<int>(static_cast<int*>(list.GetNext(pos)) - g_items));
    std::vector<int> backward;
    for (POSITION pos = list.GetTailPosition(); pos;)
        backward.insert(backward.begin(), static_cast<int>(static_cast<int*>(list.GetPrev(pos)) - g_items));
    EXPECT_EQ(forward, backward) << "forward and backward links disagree";
    EXPECT_EQ(static_cast<INT_PTR>(forward.size()), list.GetCount());
    return forward;
}

std::vector<int> Contents(const CPtrArray& array)
{
    std::vector<int> items;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) {
        void* p = array.GetAt(i);
        items.push_back(p ? static_cast<int>(static_cast<int*>(p) - g_items) : -1);
    }
    return items;
}

}  // namespace

// ---- CPtrList ------------------------------------------------------------------------------

TEST(PtrList, AddsAtBothEndsAndIteratesBothWays)
{
    CPtrList list;
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail(Item(1));
    list.AddTail(Item(2));
    list.AddHead(Item(0));
    EXPECT_EQ(Contents(list), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list.GetHead(), Item(0));
    EXPECT_EQ(list.GetTail(), Item(2));
    EXPECT_EQ(list.GetSize(), 3);
}

TEST(PtrList, RemovingDuringIterationKeepsTheWalkGoing)
{
    CPtrList list;
    for (int i = 0; i < 6; ++i) list.AddTail(Item(i));
    // Remove the even items while walking: the usual pattern saves the position before GetNext.
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        POSITION current = pos;
        int* item = static_cast<int*>(list.GetNext(pos));
        if ((item - g_items) % 2 == 0) list.RemoveAt(current);
    }
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 3, 5}));
    // Remove the tail while walking backwards.
    POSITION tail = list.GetTailPosition();
    POSITION pos = tail;
    list.GetPrev(pos);
    list.RemoveAt(tail);
    EXPECT_EQ(list.GetAt(pos), Item(3));
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 3}));
}

TEST(PtrList, InsertBeforeAndAfterAtTheEnds)
{
    CPtrList list;
    POSITION only = list.InsertBefore(nullptr, Item(5));  // empty list: becomes head and tail
    EXPECT_EQ(Contents(list), (std::vector<int>{5}));
    list.InsertBefore(only, Item(4));  // before the head
    list.InsertAfter(only, Item(6));   // after the tail
    EXPECT_EQ(Contents(list), (std::vector<int>{4, 5, 6}));
    list.InsertAfter(list.GetHeadPosition(), Item(7));  // in the middle
    list.InsertBefore(list.GetTailPosition(), Item(8));
    EXPECT_EQ(Contents(list), (std::vector<int>{4, 7, 5, 8, 6}));
    list.InsertAfter(nullptr, Item(9));  // null: at the tail
    list.InsertBefore(nullptr, Item(0));  // null: at the head
    EXPECT_EQ(Contents(list), (std::vector<int>{0, 4, 7, 5, 8, 6, 9}));
    EXPECT_EQ(list.GetHead(), Item(0));
    EXPECT_EQ(list.GetTail(), Item(9));
}

TEST(PtrList, FindFindIndexAndSetAt)
{
    CPtrList list;
    for (int i : {1, 2, 1, 3}) list.AddTail(Item(i));
    POSITION first = list.Find(Item(1));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, list.GetHeadPosition());
    POSITION second = list.Find(Item(1), first);
    EXPECT_EQ(second, list.FindIndex(2));
    EXPECT_EQ(list.Find(Item(1), second), nullptr);
    EXPECT_EQ(list.Find(Item(9)), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.FindIndex(4), nullptr);
    EXPECT_EQ(list.FindIndex(3), list.GetTailPosition());
    list.SetAt(second, Item(7));
    list.GetAt(first) = Item(6);
    EXPECT_EQ(Contents(list), (std::vector<int>{6, 2, 7, 3}));
}

TEST(PtrList, EmptyListOperationsAreHarmless)
{
    CPtrList list;
    EXPECT_EQ(list.RemoveHead(), nullptr);
    EXPECT_EQ(list.RemoveTail(), nullptr);
    EXPECT_EQ(list.GetHead(), nullptr);
    EXPECT_EQ(list.GetTail(), nullptr);
    POSITION pos = nullptr;
    EXPECT_EQ(list.GetNext(pos), nullptr);
    EXPECT_EQ(list.GetPrev(pos), nullptr);
    list.RemoveAt(nullptr);
    list.SetAt(nullptr, Item(1));
    list.AddTail(Item(1));
    EXPECT_EQ(list.RemoveHead(), Item(1));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
    list.AddHead(Item(2));
    EXPECT_EQ(list.RemoveTail(), Item(2));
    EXPECT_EQ(Contents(list), std::vector<int>{});
}

TEST(PtrList, AddsWholeListsIncludingItself)
{
    CPtrList list;
    CPtrList other;
    list.AddTail(Item(1));
    other.AddTail(Item(2));
    other.AddTail(Item(3));
    list.AddTail(&other);
    list.AddHead(&other);
    EXPECT_EQ(Contents(list), (std::vector<int>{2, 3, 1, 2, 3}));
    other.AddTail(&other);
    EXPECT_EQ(Contents(other), (std::vector<int>{2, 3, 2, 3}));
    other.AddHead(&other);
    EXPECT_EQ(Contents(other), (std::vector<int>{2, 3, 2, 3, 2, 3, 2, 3}));
    other.RemoveAll();
    EXPECT_TRUE(other.IsEmpty());
    EXPECT_EQ(Contents(list).size(), 5u);  // the items are not the list's to free
}

// ---- CPtrArray -----------------------------------------------------------------------------

TEST(PtrArray, AddInsertAndRemove)
{
    CPtrArray array;
    EXPECT_EQ(array.GetUpperBound(), -1);
    EXPECT_EQ(array.Add(Item(0)), 0);
    EXPECT_EQ(array.Add(Item(3)), 1);
    array.InsertAt(1, Item(1));
    array.InsertAt(2, Item(2), 1);
    EXPECT_EQ(Contents(array), (std::vector<int>{0, 1, 2, 3}));
    array.InsertAt(0, Item(9), 3);
    EXPECT_EQ(Contents(array), (std::vector<int>{9, 9, 9, 0, 1, 2, 3}));
    array.RemoveAt(0, 3);
    EXPECT_EQ(Contents(array), (std::vector<int>{0, 1, 2, 3}));
    array.RemoveAt(1);
    EXPECT_EQ(Contents(array), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(array.GetUpperBound(), 2);
}

TEST(PtrArray, InsertPastTheEndGrowsWithNulls)
{
    CPtrArray array;
    array.Add(Item(0));
    array.InsertAt(3, Item(5), 2);
    EXPECT_EQ(Contents(array), (std::vector<int>{0, -1, -1, 5, 5}));
    array.InsertAt(-1, Item(1));
    array.InsertAt(0, Item(1), 0);
    array.InsertAt(0, Item(1), -4);
    EXPECT_EQ(array.GetSize(), 5);
}

TEST(PtrArray, RemoveAtOutsideTheArrayIsCutOrIgnored)
{
    CPtrArray array;
    for (int i = 0; i < 5; ++i) array.Add(Item(i));
    array.RemoveAt(5);
    array.RemoveAt(-1);
    array.RemoveAt(2, 0);
    array.RemoveAt(2, -3);
    EXPECT_EQ(array.GetSize(), 5);
    array.RemoveAt(3, 100);
    EXPECT_EQ(Contents(array), (std::vector<int>{0, 1, 2}));
    array.RemoveAt(0, std::numeric_limits<INT_PTR>::max());
    EXPECT_EQ(array.GetSize(), 0);
}

TEST(PtrArray, SetSizeGrowsWithNullsAndShrinks)
{
    CPtrArray array;
    array.Add(Item(1));
    array.SetSize(1000, 64);
    ASSERT_EQ(array.GetSize(), 1000);
    EXPECT_EQ(array[0], Item(1));
    for (INT_PTR i = 1; i < 1000; ++i) ASSERT_EQ(array[i], nullptr) << i;
    array.SetAt(999, Item(2));
    EXPECT_EQ(array.GetData()[999], Item(2));
    array.SetSize(2);
    EXPECT_EQ(array.GetSize(), 2);
    array.FreeExtra();
    array.SetSize(-5);
    EXPECT_EQ(array.GetSize(), 2);
    array.SetAtGrow(4, Item(4));
    EXPECT_EQ(Contents(array), (std::vector<int>{1, -1, -1, -1, 4}));
}

TEST(PtrArray, ImpossibleSizesLeaveTheArrayAsItWas)
{
    CPtrArray array;
    array.Add(Item(1));
    array.SetSize(static_cast<INT_PTR>(1) << 60);
    EXPECT_EQ(array.GetSize(), 1);
    array.InsertAt(static_cast<INT_PTR>(1) << 60, Item(2));
    EXPECT_EQ(array.GetSize(), 1);
    EXPECT_EQ(array.GetAt(0), Item(1));
}

TEST(PtrArray, AccessOutsideTheArrayTouchesNothing)
{
    CPtrArray array;
    array.Add(Item(1));
    array.Add(Item(2));
    EXPECT_EQ(array.GetAt(-1), nullptr);
    EXPECT_EQ(array.GetAt(2), nullptr);
    array.SetAt(2, Item(9));
    array.SetAt(-1, Item(9));
    array.ElementAt(5) = Item(9);
    array[-3] = Item(9);
    EXPECT_EQ(Contents(array), (std::vector<int>{1, 2}));
    EXPECT_EQ(array.ElementAt(7), nullptr);  // the scratch slot does not keep stray writes
}

TEST(PtrArray, AppendAndCopyIncludingItself)
{
    CPtrArray a;
    CPtrArray b;
    a.Add(Item(1));
    b.Add(Item(2));
    b.Add(Item(3));
    EXPECT_EQ(a.Append(b), 1);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(a.Append(a), 3);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    a.Copy(b);
    EXPECT_EQ(Contents(a), (std::vector<int>{2, 3}));
    a.Copy(a);
    EXPECT_EQ(Contents(a), (std::vector<int>{2, 3}));
    a.InsertAt(1, &a);
    EXPECT_EQ(Contents(a), (std::vector<int>{2, 2, 3, 3}));
    b.RemoveAll();
    EXPECT_EQ(b.GetData(), nullptr);
}

TEST(PtrArray, TypedArrayGivesTypedElements)
{
    struct Frame {
        int delay;
    };
    Frame frames[3] = {{10}, {20}, {30}};
    CTypedPtrArray<CPtrArray, Frame*> array;
    for (Frame& f : frames) array.Add(&f);
    EXPECT_EQ(array[1]->delay, 20);
    array[1] = &frames[2];
    EXPECT_EQ(array.GetAt(1)->delay, 30);
    array.InsertAt(0, &frames[0], 2);
    EXPECT_EQ(array.GetSize(), 5);
    int total = 0;
    for (INT_PTR i = 0; i < array.GetSize(); ++i) total += array.GetAt(i)->delay;
    EXPECT_EQ(total, 10 + 10 + 10 + 30 + 30);
    EXPECT_EQ(array.GetData()[4], &frames[2]);
}

// ---- CMap ----------------------------------------------------------------------------------

TEST(Map, HandleKeysLookupAndRemove)
{
    CMap<HWND, HWND, int*, int*> map(10);
    HWND a = reinterpret_cast<HWND>(0x10010);
    HWND b = reinterpret_cast<HWND>(0x10020);
    map.SetAt(a, &g_items[1]);
    map[b] = &g_items[2];
    int* found = nullptr;
    EXPECT_TRUE(map.Lookup(a, found));
    EXPECT_EQ(found, &g_items[1]);
    EXPECT_FALSE(map.Lookup(reinterpret_cast<HWND>(0x10030), found));
    EXPECT_EQ(found, &g_items[1]);  // a failed lookup leaves the value alone
    map.SetAt(a, &g_items[3]);
    EXPECT_EQ(map.GetCount(), 2);
    EXPECT_TRUE(map.RemoveKey(a));
    EXPECT_FALSE(map.RemoveKey(a));
    EXPECT_FALSE(map.Lookup(a, found));
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(Map, ManyKeysAreAllFoundAndVisitedOnce)
{
    CMap<int, int, int, int> map;
    map.InitHashTable(7);
    for (int i = -500; i < 1500; ++i) map[i] = i * 3;
    ASSERT_EQ(map.GetCount(), 2000);
    for (int i = -500; i < 1500; ++i) {
        int value = 0;
        ASSERT_TRUE(map.Lookup(i, value)) << i;
        ASSERT_EQ(value, i * 3);
    }
    std::set<int> seen;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        int key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(value, key * 3);
        EXPECT_TRUE(seen.insert(key).second) << "visited twice: " << key;
    }
    EXPECT_EQ(seen.size(), 2000u);
}

TEST(Map, RemovingTheVisitedKeyDuringIterationIsSafe)
{
    CMap<int, int, int, int> map;
    for (int i = 0; i < 300; ++i) map[i] = i;
    int visited = 0;
    for (POSITION pos = map.GetStartPosition(); pos;) {
        int key = 0, value = 0;
        map.GetNextAssoc(pos, key, value);
        ++visited;
        if (key % 3 != 0) {
            EXPECT_TRUE(map.RemoveKey(key));
        }
    }
    EXPECT_EQ(visited, 300);
    EXPECT_EQ(map.GetCount(), 100);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.GetStartPosition(), nullptr);
    map[5] = 6;  // usable again after RemoveAll
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(Map, StringKeysCompareByText)
{
    CMap<CString, LPCTSTR, int, int> map;
    map[L"水印"] = 1;
    CString key(L"水");
    key += L"印";
    int value = 0;
    EXPECT_TRUE(map.Lookup(key, value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(map.Lookup(L"水", value));
    map[key] += 5;
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_TRUE(map.Lookup(L"水印", value));
    EXPECT_EQ(value, 6);
    EXPECT_EQ(map[L"new"], 0);  // operator[] adds a default value
    EXPECT_EQ(map.GetCount(), 2);

    CMap<int, int, CString, LPCTSTR> names;
    names.SetAt(1, L"一");
    names.SetAt(2, L"二");
    CString name;
    EXPECT_TRUE(names.Lookup(2, name));
    EXPECT_TRUE(name == L"二");
    POSITION pos = nullptr;
    int k = 7;
    names.GetNextAssoc(pos, k, name);  // null position: nothing read
    EXPECT_EQ(k, 7);
}

// ---- CCriticalSection ----------------------------------------------------------------------

namespace {

DWORD WINAPI TryLockFromOtherThread(void* param)
{
    CCriticalSection* lock = static_cast<CCriticalSection*>(param);
    if (!TryEnterCriticalSection(*lock)) return 0;
    lock->Unlock();
    return 1;
}

bool OtherThreadCanLock(CCriticalSection& lock)
{
    HANDLE thread = CreateThread(nullptr, 0, TryLockFromOtherThread, &lock, 0, nullptr);
    if (!thread) return false;
    WaitForSingleObject(thread, INFINITE);
    DWORD result = 0;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result == 1;
}

}  // namespace

TEST(CriticalSection, IsReentrantAndHeldUntilTheLastUnlock)
{
    CCriticalSection lock;
    EXPECT_TRUE(OtherThreadCanLock(lock));
    lock.Lock();
    lock.Lock();
    EXPECT_FALSE(OtherThreadCanLock(lock));
    lock.Unlock();
    EXPECT_FALSE(OtherThreadCanLock(lock));
    lock.Unlock();
    EXPECT_TRUE(OtherThreadCanLock(lock));
}

TEST(CriticalSection, SingleLockReleasesOnScopeExit)
{
    CCriticalSection lock;
    {
        CSingleLock guard(&lock, TRUE);
        EXPECT_TRUE(guard.IsLocked());
        guard.Lock();  // a second Lock through the same guard does not nest
        EXPECT_FALSE(OtherThreadCanLock(lock));
    }
    EXPECT_TRUE(OtherThreadCanLock(lock));
    {
        CSingleLock guard(&lock);
        EXPECT_FALSE(guard.IsLocked());
        guard.Lock();
        guard.Unlock();
        EXPECT_TRUE(OtherThreadCanLock(lock));
    }
}
