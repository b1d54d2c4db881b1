#include "ximage_test_util.h"

#include <atomic>
#include <cstring>

namespace ximagetest {

RGBQUAD PixelAt(const CxImage& img, long x, long yFromTop) {
    const BYTE* dib = static_cast<const BYTE*>(img.GetDIB());
    const BITMAPINFOHEADER* h = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const size_t stride = ((static_cast<size_t>(h->biWidth) * h->biBitCount + 31) / 32) * 4;
    const RGBQUAD* pal = reinterpret_cast<const RGBQUAD*>(dib + h->biSize);
    const BYTE* bits = dib + h->biSize + h->biClrUsed * sizeof(RGBQUAD);
    const BYTE* row = bits + stride * static_cast<size_t>(h->biHeight - 1 - yFromTop);
    if (h->biBitCount == 8) return pal[row[x]];
    RGBQUAD c;
    c.rgbBlue = row[x * 3];
    c.rgbGreen = row[x * 3 + 1];
    c.rgbRed = row[x * 3 + 2];
    c.rgbReserved = 0;
    return c;
}

CxImage MakePicture(long w, long h, const std::function<COLORREF(long, long)>& colour) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    CxImage img;
    if (bmp == nullptr) return img;
    const size_t stride = ((static_cast<size_t>(w) * 24 + 31) / 32) * 4;
    for (long y = 0; y < h; ++y) {
        BYTE* row = static_cast<BYTE*>(bits) + stride * static_cast<size_t>(y);
        for (long x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    img.CreateFromHBITMAP(bmp);
    DeleteObject(bmp);
    return img;
}

std::wstring TempPath(const wchar_t* extension) {
    static std::atomic<int> counter{0};
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"ximage-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++) + extension;
}

std::vector<BYTE> ReadBytes(const std::wstring& path) {
    std::vector<BYTE> data;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return data;
    LARGE_INTEGER size;
    if (GetFileSizeEx(f, &size) && size.QuadPart > 0) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        if (!ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) || done != data.size())
            data.clear();
    }
    CloseHandle(f);
    return data;
}

bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& data) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = data.empty() ||
                    (WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) &&
                     done == data.size());
    CloseHandle(f);
    return ok;
}

}  // namespace ximagetest
