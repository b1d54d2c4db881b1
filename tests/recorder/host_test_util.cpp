#include "tests/recorder/host_test_util.h"

#include <algorithm>

ScratchFolder::ScratchFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    DWORD length = ::GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::wstring path = std::wstring(temp, length) + name + L" " + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    if (::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
        path_ = path;
}

ScratchFolder::~ScratchFolder()
{
    if (path_.empty())
        return;
    for (const std::wstring& name : Files())
        ::DeleteFileW(File(name).c_str());
    ::RemoveDirectoryW(path_.c_str());
}

std::vector<std::wstring> ScratchFolder::Files() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (::WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size());
    ::CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const std::string& text)
{
    return WriteWholeFile(path, std::vector<unsigned char>(text.begin(), text.end()));
}

std::vector<unsigned char> ReadWholeFile(const std::wstring& path)
{
    std::vector<unsigned char> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30)) {
        bytes.resize((size_t)size.QuadPart);
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data(), (DWORD)bytes.size(), &got, nullptr))
            got = 0;
        bytes.resize(got);
    }
    ::CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Utf8Of(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string result(bytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &result[0], bytes, nullptr, nullptr);
    return result;
}
