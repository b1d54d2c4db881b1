// The caption record and the caption list: bounded texts, ownership, order and ranges.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <set>
#include <string>

#include "capture/caption_list.h"

CPtrList captionList(10);  // a list as the engine holds one

// Caption records alive now: allocations of exactly a record's size, tracked through the
// global allocation functions of this test program.
namespace {
std::set<void*>* g_liveRecords = nullptr;
bool g_tracking = false;
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    if (g_tracking && size == sizeof(CaptionItem)) {
        g_tracking = false;  // the set allocates too
        g_liveRecords->insert(p);
        g_tracking = true;
    }
    return p;
}
namespace {
void ReleaseBlock(void* p) noexcept {
    if (g_tracking && p) {
        g_tracking = false;
        g_liveRecords->erase(p);
        g_tracking = true;
    }
    std::free(p);
}
}  // namespace
void operator delete(void* p) noexcept { ReleaseBlock(p); }
void operator delete(void* p, std::size_t) noexcept { ReleaseBlock(p); }

namespace {

class CaptionList : public ::testing::Test {
protected:
    void SetUp() override {
        g_liveRecords = &live;
        g_tracking = true;
    }
    void TearDown() override {
        ClearCaptionList(captionList);
        g_tracking = false;
        g_liveRecords = nullptr;
    }
    std::set<void*> live;
};

TEST_F(CaptionList, ANewRecordIsAllZero) {
    std::unique_ptr<CaptionItem> item(NewCaptionItem());
    EXPECT_EQ(0, item->selected);
    EXPECT_EQ(0, item->x);
    EXPECT_EQ(0, item->width);
    EXPECT_EQ(0, item->lastFrame);
    EXPECT_EQ(CAPTION_STYLE_NONE, item->style);
    EXPECT_EQ(0, item->textInfo.text[0]);
    EXPECT_EQ(0, item->textInfo.smooth);
    EXPECT_EQ(0, item->textInfo.b_outline);
    EXPECT_EQ(0.0f, item->textInfo.b_opacity);
    EXPECT_EQ(0, item->textInfo.align);
}

TEST_F(CaptionList, ATextOfTheLongestLengthIsKeptWholeAndALongerOneIsCut) {
    std::unique_ptr<CaptionItem> item(NewCaptionItem());
    const std::wstring longest(4095, L'字');
    SetCaptionText(*item, longest.c_str());
    EXPECT_EQ(longest, std::wstring(item->textInfo.text));
    EXPECT_EQ(0, item->textInfo.text[4095]);

    const std::wstring longer = std::wstring(4095, L'a') + L"bcdef";
    SetCaptionText(*item, longer.c_str());
    EXPECT_EQ(4095u, CaptionTextLength(item->textInfo));
    EXPECT_EQ(L'a', item->textInfo.text[4094]);
    EXPECT_EQ(0, item->textInfo.text[4095]);

    SetCaptionText(*item, nullptr);
    EXPECT_EQ(0u, CaptionTextLength(item->textInfo));

    // A record filled by other means without a terminator is still read within its bounds.
    for (WCHAR& c : item->textInfo.text) c = L'x';
    EXPECT_EQ(4096u, CaptionTextLength(item->textInfo));
}

TEST_F(CaptionList, AFaceNameIsCutToThirtyOneCharacters) {
    std::unique_ptr<CaptionItem> item(NewCaptionItem());
    SetCaptionFaceName(*item, std::wstring(40, L'F').c_str());
    EXPECT_EQ(31u, wcslen(item->textInfo.lfont.lfFaceName));
    SetCaptionFaceName(*item, L"Verdana");
    EXPECT_STREQ(L"Verdana", item->textInfo.lfont.lfFaceName);
}

TEST_F(CaptionList, CaptionsKeepTheOrderOfCreation) {
    CaptionItem* a = NewCaptionItem();
    CaptionItem* b = NewCaptionItem();
    CaptionItem* c = NewCaptionItem();
    ASSERT_NE(nullptr, AddCaption(captionList, a));
    ASSERT_NE(nullptr, AddCaption(captionList, b));
    ASSERT_NE(nullptr, AddCaption(captionList, c));
    EXPECT_EQ(nullptr, AddCaption(captionList, nullptr));
    EXPECT_EQ(a, GetCaptionAt(captionList, 0));
    EXPECT_EQ(c, GetCaptionAt(captionList, 2));
    EXPECT_EQ(nullptr, GetCaptionAt(captionList, 3));
    POSITION pos = captionList.GetHeadPosition();
    EXPECT_EQ(a, GetNextCaption(captionList, pos));
    EXPECT_EQ(b, GetNextCaption(captionList, pos));
    EXPECT_EQ(c, GetNextCaption(captionList, pos));
    EXPECT_EQ(nullptr, pos);
    EXPECT_EQ(nullptr, GetNextCaption(captionList, pos));
}

TEST_F(CaptionList, DeletingACaptionFreesItAndOnlyIt) {
    CaptionItem* a = NewCaptionItem();
    CaptionItem* b = NewCaptionItem();
    AddCaption(captionList, a);
    AddCaption(captionList, b);
    EXPECT_EQ(2u, live.size());
    std::unique_ptr<CaptionItem> stranger(NewCaptionItem());
    EXPECT_FALSE(DeleteCaption(captionList, stranger.get()));
    EXPECT_EQ(3u, live.size());
    EXPECT_TRUE(DeleteCaption(captionList, a));
    EXPECT_EQ(1, captionList.GetCount());
    EXPECT_EQ(b, GetCaptionAt(captionList, 0));
    EXPECT_EQ(0u, live.count(a));
    EXPECT_EQ(1u, live.count(b));
}

TEST_F(CaptionList, EmptyingTheListFreesEveryRecordAndTheListStaysUsable) {
    for (int i = 0; i < 25; ++i) AddCaption(captionList, NewCaptionItem());
    EXPECT_EQ(25u, live.size());
    ClearCaptionList(captionList);
    EXPECT_TRUE(captionList.IsEmpty());
    EXPECT_TRUE(live.empty());
    AddCaption(captionList, NewCaptionItem());
    EXPECT_EQ(1, captionList.GetCount());
}

TEST(CaptionRange, BothEndsAreInclusiveAndOneBased) {
    CaptionItem item{};
    item.firstFrame = 3;
    item.lastFrame = 3;
    EXPECT_FALSE(CaptionCoversFrame(item, 2));
    EXPECT_TRUE(CaptionCoversFrame(item, 3));
    EXPECT_FALSE(CaptionCoversFrame(item, 4));
    item.firstFrame = 1;
    item.lastFrame = 5;
    EXPECT_TRUE(CaptionCoversFrame(item, 1));
    EXPECT_TRUE(CaptionCoversFrame(item, 5));
    EXPECT_FALSE(CaptionCoversFrame(item, 0));
    EXPECT_FALSE(CaptionCoversFrame(item, 6));
}

TEST(CaptionRecord, FieldsLieInTheRecordsOrder) {
    EXPECT_EQ(0u, offsetof(CaptionItem, selected));
    EXPECT_LT(offsetof(CaptionItem, selected), offsetof(CaptionItem, x));
    EXPECT_LT(offsetof(CaptionItem, x), offsetof(CaptionItem, y));
    EXPECT_LT(offsetof(CaptionItem, y), offsetof(CaptionItem, width));
    EXPECT_LT(offsetof(CaptionItem, width), offsetof(CaptionItem, height));
    EXPECT_LT(offsetof(CaptionItem, height), offsetof(CaptionItem, firstFrame));
    EXPECT_LT(offsetof(CaptionItem, firstFrame), offsetof(CaptionItem, lastFrame));
    EXPECT_LT(offsetof(CaptionItem, lastFrame), offsetof(CaptionItem, style));
    EXPECT_LT(offsetof(CaptionItem, style), offsetof(CaptionItem, textInfo));
    EXPECT_EQ(4096u, sizeof(CXTEXTINFO::text) / sizeof(WCHAR));
}

}  // namespace
