#include "tests/capture/engine_test_support.h"

#include <cstdio>

#include "image/dib_types.h"

namespace engine_test {

namespace {

const wchar_t kClassName[] = L"KelvoEngineTestReports";

bool IsReport(UINT message) {
    return message == WM_FRAME_CAPTURED || message == WM_CAPTURE_STOPPED ||
           message == WM_GIF_PROGRESS || message == WM_GIF_DONE;
}

}  // namespace

ReportWindow::ReportWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ReportWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    wnd_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ReportWindow::~ReportWindow() {
    if (wnd_) DestroyWindow(wnd_);
}

LRESULT CALLBACK ReportWindow::Proc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self && IsReport(message)) {
        self->reports_.push_back(Report{message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(wnd, message, wParam, lParam);
}

bool ReportWindow::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void ReportWindow::Settle(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

std::vector<Report> ReportWindow::All(UINT message) const {
    std::vector<Report> out;
    for (const Report& r : reports_)
        if (r.message == message) out.push_back(r);
    return out;
}

std::vector<LPARAM> ReportWindow::LParams(UINT message) const {
    std::vector<LPARAM> out;
    for (const Report& r : All(message)) out.push_back(r.lParam);
    return out;
}

CxImage* MakePicture(int w, int h, const std::function<COLORREF(int, int)>& colour) {
    const size_t stride = ((static_cast<size_t>(w) * 24 + 31) / 32) * 4;
    std::vector<BYTE> bmp(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * h);
    auto* file = reinterpret_cast<BITMAPFILEHEADER*>(bmp.data());
    file->bfType = 0x4D42;
    file->bfSize = static_cast<DWORD>(bmp.size());
    file->bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    auto* info = reinterpret_cast<BITMAPINFOHEADER*>(bmp.data() + sizeof(BITMAPFILEHEADER));
    info->biSize = sizeof(BITMAPINFOHEADER);
    info->biWidth = w;
    info->biHeight = h;
    info->biPlanes = 1;
    info->biBitCount = 24;
    BYTE* rows = bmp.data() + file->bfOffBits;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            BYTE* p = rows + stride * static_cast<size_t>(h - 1 - y) + static_cast<size_t>(x) * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    auto* picture = new CxImage(bmp.data(), static_cast<DWORD>(bmp.size()), CXIMAGE_FORMAT_BMP);
    picture->SetFlags(1, false);
    return picture;
}

COLORREF PixelAt(const CxImage& picture, int x, int y) {
    const BYTE* dib = static_cast<const BYTE*>(picture.GetDIB());
    if (!dib) return CLR_INVALID;
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib);
    const int w = info->biWidth, h = info->biHeight;
    if (x < 0 || y < 0 || x >= w || y >= h) return CLR_INVALID;
    const int bits = info->biBitCount;
    const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    const unsigned entries = bits == 8 ? (info->biClrUsed ? info->biClrUsed : 256) : 0;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(dib + info->biSize);
    const BYTE* row = dib + info->biSize + entries * 4 + stride * static_cast<size_t>(h - 1 - y);
    if (bits == 8) {
        const RGBQUAD q = table[row[x]];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    const BYTE* p = row + static_cast<size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

FrameRecord* MakeRecord(int w, int h, COLORREF colour, int delay, bool kept) {
    CxImage* picture = MakePicture(w, h, [colour](int, int) { return colour; });
    picture->SetFlags(kept ? 1 : 0, false);
    return new FrameRecord{picture, delay};
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir, n) + name;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<BYTE> ReadFileBytes(const std::wstring& path) {
    std::vector<BYTE> bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return bytes;
    BYTE buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    fclose(file);
    return bytes;
}

}  // namespace engine_test
