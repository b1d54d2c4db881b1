#include "capture/file_util.h"

#include "image/handles.h"

float FileSizeKB(const wchar_t* path) {
    if (path == nullptr || *path == 0) return 0.0f;
    const WinHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0.0f;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return 0.0f;
    return static_cast<float>(static_cast<double>(size.QuadPart) / 1024.0);
}
