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

// ---- CPtrArray -----------------------------------------------------------------------------

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

TEST(PtrList, AddFindAndRemoveKeepTheOrder)
{
    int items[4] = {};
    CPtrList list;
    EXPECT_EQ(nullptr, list.RemoveHead());
    for (int& item : items) list.AddTail(&item);
    EXPECT_EQ(4, list.GetCount());
    POSITION second = list.Find(&items[1]);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(&items[1], list.GetAt(second));
    EXPECT_EQ(second, list.FindIndex(1));
    EXPECT_EQ(nullptr, list.FindIndex(4));
    EXPECT_EQ(nullptr, list.FindIndex(-1));
    EXPECT_EQ(nullptr, list.Find(&items[0], second));  // only after the start
    list.RemoveAt(second);
    EXPECT_EQ(nullptr, list.Find(&items[1]));
    std::vector<void*> seen;
    for (POSITION pos = list.GetHeadPosition(); pos;) seen.push_back(list.GetNext(pos));
    EXPECT_EQ((std::vector<void*>{&items[0], &items[2], &items[3]}), seen);
    EXPECT_EQ(&items[0], list.RemoveHead());
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(nullptr, list.GetHeadPosition());
}

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
        EXPECT_FALSE(OtherThreadCanLock(lock));
        guard.Lock();  // a second Lock through the same guard does not nest
        EXPECT_FALSE(OtherThreadCanLock(lock));
    }
    EXPECT_TRUE(OtherThreadCanLock(lock));
    {
        CSingleLock guard(&lock);
        EXPECT_TRUE(OtherThreadCanLock(lock));
        guard.Lock();
        guard.Unlock();
        EXPECT_TRUE(OtherThreadCanLock(lock));
    }
}
