#include "framework/file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// A fresh folder under the temporary folder for each test, removed with its files afterwards.
class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        m_dir.Format(L"%skelvo_file_test_%lu_%lu", temp, GetCurrentProcessId(), GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(m_dir, nullptr));
    }

    void TearDown() override
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(Path(L"*"), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW(Path(found.cFileName));
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(m_dir);
    }

    CString Path(const wchar_t* name) const { return m_dir + L"\\" + name; }

    CString m_dir;
};

std::vector<BYTE> Pattern(size_t size)
{
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

}  // namespace

TEST_F(FileTest, WriteReadAndSeekRoundTrip)
{
    const CString path = Path(L"round.bin");
    std::vector<BYTE> data = Pattern(100000);
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
        EXPECT_TRUE(file.Write(data.data(), static_cast<UINT>(data.size())));
        EXPECT_TRUE(file.Write(nullptr, 0));
        EXPECT_TRUE(file.Flush());
        EXPECT_EQ(file.GetLength(), data.size());
        EXPECT_EQ(file.GetPosition(), data.size());
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    }
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    ASSERT_NE(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(file.GetLength(), data.size());

    std::vector<BYTE> back(data.size());
    EXPECT_EQ(file.Read(back.data(), static_cast<UINT>(back.size())), data.size());
    EXPECT_EQ(back, data);
    EXPECT_EQ(file.Read(back.data(), 10), 0u);  // at the end

    EXPECT_EQ(file.Seek(-10, CFile::end), data.size() - 10);
    BYTE tail[64];
    EXPECT_EQ(file.Read(tail, sizeof tail), 10u);  // only what is left
    EXPECT_EQ(memcmp(tail, &data[data.size() - 10], 10), 0);

    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);
    EXPECT_EQ(file.Seek(500, CFile::current), 500u);
    EXPECT_EQ(file.Seek(-100, CFile::current), 400u);
    BYTE one = 0;
    EXPECT_EQ(file.Read(&one, 1), 1u);
    EXPECT_EQ(one, data[400]);
    EXPECT_EQ(file.SeekToEnd(), data.size());
    EXPECT_EQ(file.Seek(-1, CFile::begin), static_cast<ULONGLONG>(-1));  // before the start
    EXPECT_EQ(file.Seek(0, 7), static_cast<ULONGLONG>(-1));
}

TEST_F(FileTest, LengthAndPositionsBeyondFourGigabytes)
{
    const CString path = Path(L"large.bin");
    const ULONGLONG farOffset = (5ULL << 30) + 123;  // past what 32 bits can hold
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_EQ(file.Seek(static_cast<LONGLONG>(farOffset), CFile::begin), farOffset);
    const char mark[] = "end";
    EXPECT_TRUE(file.Write(mark, 3));
    EXPECT_EQ(file.GetPosition(), farOffset + 3);
    EXPECT_EQ(file.GetLength(), farOffset + 3);

    EXPECT_EQ(file.Seek(-3, CFile::end), farOffset);
    char back[3] = {};
    EXPECT_EQ(file.Read(back, 3), 3u);
    EXPECT_EQ(memcmp(back, mark, 3), 0);

    EXPECT_TRUE(file.SetLength(10));  // also keeps the test's disk use small
    EXPECT_EQ(file.GetLength(), 10u);
}

TEST_F(FileTest, OpenFailuresReturnFalseAndSayWhy)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(Path(L"missing.gif"), CFile::modeRead, &error));
    EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(error.m_strFileName == Path(L"missing.gif"));

    EXPECT_FALSE(file.Open(Path(L"no_such_dir\\x.gif"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    EXPECT_FALSE(file.Open(L"", CFile::modeRead, &error));
    EXPECT_FALSE(file.Open(nullptr, CFile::modeRead));
    EXPECT_FALSE(file.Open(Path(L"x"), CFile::modeWrite | CFile::modeReadWrite | CFile::modeCreate));
    EXPECT_FALSE(Exists(Path(L"x")));

    CFile constructed(Path(L"missing.gif"), CFile::modeRead);
    EXPECT_EQ(constructed.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(constructed.GetLength(), 0u);
    char buffer[4];
    EXPECT_EQ(constructed.Read(buffer, 4), 0u);
    EXPECT_FALSE(constructed.Write("abc", 3));
    EXPECT_TRUE(constructed.Close());
}

TEST_F(FileTest, WriteToAFileOpenedForReadingReportsFailure)
{
    const CString path = Path(L"readonly.bin");
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        ASSERT_TRUE(file.Write("data", 4));
    }
    CFile file(path, CFile::modeRead);
    ASSERT_NE(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.Write("more", 4));
    EXPECT_EQ(file.GetLength(), 4u);
}

TEST_F(FileTest, ChineseFileNames)
{
    const CString path = Path(L"水印测试.gif");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        EXPECT_TRUE(file.GetFileName() == L"水印测试.gif");
        EXPECT_TRUE(file.GetFilePath() == path);
        EXPECT_TRUE(file.Write("GIF89a", 6));
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Path(L"*.gif"), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, L"水印测试.gif");
    FindClose(search);

    CFile file(path, CFile::modeRead);
    char header[6];
    EXPECT_EQ(file.Read(header, 6), 6u);
    EXPECT_EQ(memcmp(header, "GIF89a", 6), 0);
}

TEST_F(FileTest, CreateTruncatesUnlessToldNotTo)
{
    const CString path = Path(L"keep.txt");
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        file.Write("0123456789", 10);
    }
    {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 10u);
        EXPECT_EQ(file.GetPosition(), 0u);
    }
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
}

TEST_F(FileTest, ShareModesAndCloseOnDestruction)
{
    const CString path = Path(L"shared.bin");
    {
        CFile writer(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite);
        ASSERT_NE(writer.m_hFile, INVALID_HANDLE_VALUE);
        CFile second;
        CFileException error;
        EXPECT_FALSE(second.Open(path, CFile::modeWrite | CFile::shareDenyNone, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        CFile reader;
        EXPECT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyNone));
    }
    // Both handles are closed now, so an exclusive open succeeds.
    CFile exclusive;
    EXPECT_TRUE(exclusive.Open(path, CFile::modeReadWrite | CFile::shareExclusive));
    CFile other;
    EXPECT_FALSE(other.Open(path, CFile::modeRead | CFile::shareDenyNone));
    // Opening again closes the first file.
    EXPECT_TRUE(exclusive.Open(Path(L"other.bin"), CFile::modeCreate | CFile::modeWrite));
    EXPECT_TRUE(other.Open(path, CFile::modeRead | CFile::shareDenyNone));
}

TEST_F(FileTest, AttachedHandlesStayTheCallersToClose)
{
    const CString path = Path(L"attached.bin");
    HANDLE handle = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    {
        CFile file(handle);
        EXPECT_TRUE(file.Write("x", 1));
    }
    DWORD flags = 0;
    EXPECT_TRUE(GetHandleInformation(handle, &flags));  // still open
    CloseHandle(handle);
}

TEST_F(FileTest, RemoveAndRename)
{
    const CString from = Path(L"old.gif");
    const CString to = Path(L"新.gif");
    {
        CFile file(from, CFile::modeCreate | CFile::modeWrite);
    }
    EXPECT_TRUE(CFile::Rename(from, to));
    EXPECT_FALSE(Exists(from));
    EXPECT_TRUE(Exists(to));
    EXPECT_FALSE(CFile::Rename(from, to));  // source gone
    EXPECT_TRUE(CFile::Remove(to));
    EXPECT_FALSE(Exists(to));
    EXPECT_FALSE(CFile::Remove(to));
    EXPECT_FALSE(CFile::Remove(nullptr));
}
