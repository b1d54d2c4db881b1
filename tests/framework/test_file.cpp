#include "framework/file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Writes a whole file with the platform's own calls (the class only reads).
bool WriteWholeFile(const CString& path, const void* data, DWORD size)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
    return CloseHandle(file) && ok;
}

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

TEST_F(FileTest, ReadsBackWhatWasWrittenAndStopsAtTheEnd)
{
    const CString path = Path(L"round.bin");
    std::vector<BYTE> data = Pattern(100000);
    ASSERT_TRUE(WriteWholeFile(path, data.data(), static_cast<DWORD>(data.size())));

    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_EQ(file.GetLength(), data.size());
    std::vector<BYTE> back(data.size());
    EXPECT_EQ(file.Read(back.data(), 60000), 60000u);
    BYTE rest[50000];
    EXPECT_EQ(file.Read(rest, sizeof rest), 40000u);  // only what is left
    memcpy(back.data() + 60000, rest, 40000);
    EXPECT_EQ(back, data);
    EXPECT_EQ(file.Read(rest, 10), 0u);  // at the end
    EXPECT_EQ(file.Read(nullptr, 10), 0u);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.m_hFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.Read(rest, 4), 0u);
    EXPECT_TRUE(file.Close());
}

TEST_F(FileTest, LengthBeyondFourGigabytes)
{
    const CString path = Path(L"large.bin");
    const LONGLONG farOffset = (5LL << 30) + 123;  // past what 32 bits can hold
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    LARGE_INTEGER distance;
    distance.QuadPart = farOffset;
    ASSERT_TRUE(SetFilePointerEx(file.m_hFile, distance, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.m_hFile));
    EXPECT_EQ(file.GetLength(), static_cast<ULONGLONG>(farOffset));
    distance.QuadPart = 10;  // keeps the test's disk use small
    SetFilePointerEx(file.m_hFile, distance, nullptr, FILE_BEGIN);
    SetEndOfFile(file.m_hFile);
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
}

TEST_F(FileTest, ChineseFileNames)
{
    const CString path = Path(L"水印测试.gif");
    ASSERT_TRUE(WriteWholeFile(path, "GIF89a", 6));
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    char header[6];
    EXPECT_EQ(file.Read(header, 6), 6u);
    EXPECT_EQ(memcmp(header, "GIF89a", 6), 0);
}

TEST_F(FileTest, CreateTruncatesUnlessToldNotTo)
{
    const CString path = Path(L"keep.txt");
    ASSERT_TRUE(WriteWholeFile(path, "0123456789", 10));
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
        EXPECT_EQ(file.GetLength(), 10u);
        char first = 0;
        EXPECT_EQ(file.Read(&first, 1), 1u);  // from the start
        EXPECT_EQ(first, '0');
    }
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST_F(FileTest, ShareModesAndCloseOnDestruction)
{
    const CString path = Path(L"shared.bin");
    {
        CFile writer;
        ASSERT_TRUE(writer.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite));
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
