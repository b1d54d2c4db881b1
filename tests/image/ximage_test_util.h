// Helpers for the CxImage tests: pictures with known pixels, pixel reads, temporary files.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "image/ximage.h"

namespace ximagetest {

// Colour of pixel (x, y), y counted from the top, read from the picture's packed DIB.
RGBQUAD PixelAt(const CxImage& img, long x, long yFromTop);

// A 24-bit picture whose pixel (x, y from the top) is colour(x, y), made through a DIB section.
CxImage MakePicture(long w, long h, const std::function<COLORREF(long, long)>& colour);

// A unique path in the temporary folder ending in the given extension (".png" etc.).
std::wstring TempPath(const wchar_t* extension);

std::vector<BYTE> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& data);

// Deletes the file when the test ends.
class TempFile {
public:
    explicit TempFile(const wchar_t* extension) : path_(TempPath(extension)) {}
    ~TempFile() { DeleteFileW(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const wchar_t* c_str() const { return path_.c_str(); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

inline bool Same(RGBQUAD c, COLORREF r) {
    return c.rgbRed == GetRValue(r) && c.rgbGreen == GetGValue(r) && c.rgbBlue == GetBValue(r);
}

}  // namespace ximagetest
