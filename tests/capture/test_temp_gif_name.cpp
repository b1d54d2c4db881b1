// Temporary GIF names: unique even when made in quick succession, and reserved on disk.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "capture/temp_gif_name.h"

namespace {

TEST(TempGifName, TwentyQuickNamesAreDistinctAndReserved)
{
    std::set<std::wstring> names;
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    for (int i = 0; i < 20; ++i) {
        CString name = MakeTempGifName();
        ASSERT_FALSE(name.IsEmpty());
        EXPECT_EQ(0, name.Find(folder)) << "not in the temporary folder";
        EXPECT_EQ(L".gif", name.Right(4));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(name)) << "the name was not reserved";
        names.insert((LPCTSTR)name);
    }
    EXPECT_EQ(20u, names.size());
    for (const auto& name : names)
        DeleteFileW(name.c_str());
}

TEST(TempGifName, NameHasSixNumbersFromTheClock)
{
    CString name = MakeTempGifName();
    ASSERT_FALSE(name.IsEmpty());
    CString file = name.Mid(name.ReverseFind(L'\\') + 1);
    int hour = -1, minute = -1, second = -1, month = -1, day = -1;
    unsigned number = 0;
    ASSERT_EQ(6, swscanf(file, L"%d-%d-%d-%d-%d-%u.gif", &hour, &minute, &second, &month, &day, &number));
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(now.wMonth, month);
    EXPECT_EQ(now.wDay, day);
    EXPECT_TRUE(hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60);
    DeleteFileW(name);
}

TEST(TempGifName, OnlyNamesThisProcessMadeAreDeleted)
{
    wchar_t folder[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, folder);
    const CString foreign = CString(folder) + L"0-0-0-1-1-7.gif";
    HANDLE file = CreateFileW(foreign, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    const CString ours = MakeTempGifName();
    const CString kept = MakeTempGifName();
    ASSERT_FALSE(ours.IsEmpty());

    EXPECT_FALSE(DeleteTempGif(foreign));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(foreign));
    std::wstring otherSpelling = ours.GetString();
    CharUpperBuffW(&otherSpelling[0], static_cast<DWORD>(otherSpelling.size()));
    EXPECT_TRUE(DeleteTempGif(CString(otherSpelling.c_str())));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ours));
    EXPECT_FALSE(DeleteTempGif(ours));

    DeleteTempGifsExcept({kept, foreign});
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept));
    DeleteTempGifsExcept({});
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(foreign));
    DeleteFileW(foreign);
}

TEST(TempGifName, RefusesATemporaryFolderThatLeavesNoRoom)
{
    static wchar_t savedTmp[32768], savedTemp[32768];
    DWORD hadTmp = GetEnvironmentVariableW(L"TMP", savedTmp, 32768);
    DWORD hadTemp = GetEnvironmentVariableW(L"TEMP", savedTemp, 32768);
    std::wstring longFolder = L"C:\\" + std::wstring(250, L'x') + L"\\";
    SetEnvironmentVariableW(L"TMP", longFolder.c_str());
    SetEnvironmentVariableW(L"TEMP", longFolder.c_str());
    EXPECT_TRUE(MakeTempGifName().IsEmpty());
    SetEnvironmentVariableW(L"TMP", hadTmp ? savedTmp : nullptr);
    SetEnvironmentVariableW(L"TEMP", hadTemp ? savedTemp : nullptr);
}

}  // namespace
