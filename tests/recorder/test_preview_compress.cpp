// The micro-blog copy: made by the real gifsicle under a new name each time, shown with its
// info, replaced copies and the last copy at the end deleted; a failed compression tells the
// user and keeps the GIF shown before.
#include "gif/gd.h"
#include "res/preview_ids.h"
#include "tests/recorder/preview_test_util.h"

namespace preview_test {
namespace {

class PreviewCompressTest : public PreviewTest {
protected:
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", nullptr);
        PreviewTest::TearDown();
    }

    // As after the quality menu: the window hidden, the main window's new GIF handed over.
    void CompressAfterMenu(int choice, const std::wstring& newMainGif)
    {
        preview->qualityChoice = choice;
        preview->ShowWindow(SW_HIDE);
        main->gifPath = newMainGif.c_str();
        preview->gifPath = main->gifPath;
        preview->CompressForMicroBlog();
        Pump(50);
    }

    std::wstring Shown() const { return std::wstring(preview->browser.GetLocationURL()); }
};

// The palette entries that the first frame's pixels use; allGrey when each has R = G = B.
std::vector<int> UsedColours(const std::wstring& path, bool* allGrey)
{
    std::vector<uint8_t> bytes = ReadBytes(path);
    *allGrey = true;
    std::vector<int> used;
    if (bytes.empty())
        return used;
    gdImageOwner image(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), bytes.data()));
    if (!image)
        return used;
    std::vector<bool> seen(256, false);
    for (unsigned char index : image->pixels) {
        if (!seen[index]) {
            seen[index] = true;
            used.push_back(index);
            *allGrey = *allGrey && image->red[index] == image->green[index] && image->green[index] == image->blue[index];
        }
    }
    return used;
}

// The message texts, for a failure's description.
std::string Describe(const std::vector<CString>& messages)
{
    std::string all;
    for (const CString& m : messages) {
        char text[2048] = "";
        ::WideCharToMultiByte(CP_UTF8, 0, m, -1, text, sizeof(text), nullptr, nullptr);
        all += std::string(text) + " | ";
    }
    return all;
}

TEST_F(PreviewCompressTest, TheCopyGetsANewNameAndIsShownWithItsInfo)
{
    ShowPlain(mainGif);
    const std::wstring fitted = WriteGif(L"fitted 400 微博.gif", 160, 120, 3, 250);
    const std::vector<uint8_t> fittedBytes = ReadBytes(fitted);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    ASSERT_TRUE(messages.empty()) << Describe(messages);

    const std::wstring copy(preview->gifPath);
    EXPECT_NE(fitted, copy);
    EXPECT_NE(mainGif, copy);
    EXPECT_TRUE(Exists(copy));
    EXPECT_EQ(FullPath(copy), Shown());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(fittedBytes, ReadBytes(fitted));  // the input stays as it was
    bool grey = false;
    const std::vector<int> used = UsedColours(copy, &grey);
    EXPECT_FALSE(used.empty());
    EXPECT_LE(used.size(), 64u);
    EXPECT_FALSE(grey);
    CString info;
    info.Format(L"3F, %.1fK, 160*120", ReadBytes(copy).size() / 1024.0);
    EXPECT_EQ(info, InfoText());
}

TEST_F(PreviewCompressTest, AGreyLevelGivesGreyAndAColourLevelAfterItColourAgain)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 100, 80, 2, 200);
    CompressAfterMenu(ID_QUALITY_GRAY_32, fitted);
    ASSERT_TRUE(messages.empty()) << Describe(messages);
    bool grey = false;
    EXPECT_LE(UsedColours(std::wstring(preview->gifPath), &grey).size(), 32u);
    EXPECT_TRUE(grey);

    CompressAfterMenu(ID_QUALITY_128, fitted);
    ASSERT_TRUE(messages.empty());
    EXPECT_LE(UsedColours(std::wstring(preview->gifPath), &grey).size(), 128u);
    EXPECT_FALSE(grey);
}

TEST_F(PreviewCompressTest, AReplacedCopyIsDeletedAndTheLastOneGoesWithTheWindow)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_256, fitted);
    const std::wstring first(preview->gifPath);
    ASSERT_TRUE(Exists(first));
    CompressAfterMenu(ID_QUALITY_32, fitted);
    const std::wstring second(preview->gifPath);
    EXPECT_NE(first, second);
    EXPECT_FALSE(Exists(first));
    EXPECT_TRUE(Exists(second));

    // A plain preview meanwhile does not orphan the copy.
    ShowPlain(mainGif);
    EXPECT_TRUE(Exists(second));
    preview->DestroyWindow();
    preview.reset();
    EXPECT_FALSE(Exists(second));
    EXPECT_TRUE(Exists(mainGif));
    EXPECT_TRUE(Exists(fitted));
}

TEST_F(PreviewCompressTest, ClosingDeletesTheShownCopy)
{
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    const std::wstring copy(preview->gifPath);
    ASSERT_TRUE(Exists(copy));
    preview->SendMessage(WM_CLOSE);
    Pump(30);
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_FALSE(Exists(copy));
    EXPECT_TRUE(Exists(fitted));
}

TEST_F(PreviewCompressTest, WithoutGifsicleTheUserIsToldAndThePreviousGifStaysShown)
{
    ShowPlain(mainGif);
    const int gifsBefore = TempGifCount();
    ::SetEnvironmentVariableW(L"KELVO_GIFSICLE", L"/nonexistent/gifsicle-missing");
    const std::wstring fitted = WriteGif(L"fitted.gif", 80, 60, 2, 100);
    CompressAfterMenu(ID_QUALITY_64, fitted);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_NO_GIFSICLE), messages[0]);
    EXPECT_EQ(CString(FullPath(mainGif).c_str()), preview->gifPath);
    EXPECT_EQ(FullPath(mainGif), Shown());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(gifsBefore, TempGifCount());  // no empty copy left behind
}

TEST_F(PreviewCompressTest, AnInputThatIsNoGifFailsWithAMessageAndNothingChanges)
{
    const std::wstring gif = WriteGif(L"shown before.gif", 64, 64, 2);
    ShowPlain(gif);
    const CString info = InfoText();
    const int gifsBefore = TempGifCount();
    CompressAfterMenu(ID_QUALITY_64, WriteBytes(L"not a gif.gif", {'G', 'I', 'F', '8', '9', 'a', 0, 0}));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(LoadText(IDS_PREVIEW_COMPRESS_FAILED), messages[0]);
    EXPECT_EQ(CString(FullPath(gif).c_str()), preview->gifPath);
    EXPECT_EQ(info, InfoText());
    EXPECT_TRUE(preview->IsWindowVisible());
    EXPECT_EQ(gifsBefore, TempGifCount());
}

TEST_F(PreviewCompressTest, AFailureWithNothingShownBeforeLeavesTheWindowHidden)
{
    CompressAfterMenu(ID_QUALITY_64, WriteBytes(L"empty.gif", {}));
    ASSERT_EQ(1u, messages.size());
    EXPECT_FALSE(preview->IsWindowVisible());
    EXPECT_EQ(main->gifPath, preview->gifPath);
}

}  // namespace
}  // namespace preview_test
