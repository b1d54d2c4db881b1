#include "capture/temp_gif_name.h"

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <mutex>

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
            return name;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return CString();
    }
    return CString();
}
