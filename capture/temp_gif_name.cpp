#include "capture/temp_gif_name.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <vector>

namespace {

// The names made so far; the preview and the main window may both make and delete them.
std::mutex madeLock;
std::vector<CString> made;

// The name with its folders spelled out, so that two spellings of one file compare equal.
CString FullName(const CString& path)
{
    wchar_t full[MAX_PATH * 2] = L"";
    const DWORD n = GetFullPathNameW(path, MAX_PATH * 2, full, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? CString(full) : path;
}

bool SameFile(const CString& a, const CString& b)
{
    return !a.IsEmpty() && !b.IsEmpty() && FullName(a).CompareNoCase(FullName(b)) == 0;
}

}  // namespace

CString MakeTempGifName()
{
    // Seeded once: two names made within one second differ by the counter, not by chance.
    static std::once_flag seeded;
    std::call_once(seeded, [] { srand((unsigned)time(nullptr)); });
    static std::atomic<unsigned> counter{0};

    wchar_t folder[MAX_PATH + 1] = L"";
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return CString();

    for (int attempt = 0; attempt < 100; ++attempt) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        const unsigned number = (unsigned)rand() % 100000 * 1000 + counter++ % 1000;
        CString name;
        name.Format(L"%s%d-%d-%d-%d-%d-%u.gif", folder, now.wHour, now.wMinute, now.wSecond, now.wMonth, now.wDay,
                    number);
        if (name.GetLength() >= MAX_PATH)
            return CString();
        HANDLE file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            std::lock_guard<std::mutex> hold(madeLock);
            made.push_back(name);
            return name;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return CString();
    }
    return CString();
}

bool DeleteTempGif(const CString& path)
{
    std::lock_guard<std::mutex> hold(madeLock);
    for (size_t i = 0; i < made.size(); ++i) {
        if (SameFile(made[i], path)) {
            DeleteFileW(made[i]);
            made.erase(made.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

void DeleteTempGifsExcept(std::initializer_list<CString> keep)
{
    std::lock_guard<std::mutex> hold(madeLock);
    std::vector<CString> kept;
    for (const CString& name : made) {
        bool keepIt = false;
        for (const CString& k : keep)
            keepIt = keepIt || SameFile(name, k);
        if (keepIt)
            kept.push_back(name);
        else
            DeleteFileW(name);
    }
    made.swap(kept);
}
