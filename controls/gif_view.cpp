#include "controls/gif_view.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "gif/gd.h"
#include "image/handles.h"

// ---------------------------------------------------------------------------------------------
// GifAnimation

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kEmpty = 0;  // nothing painted there: transparent

gifimport::GifReadLimits ViewLimits()
{
    gifimport::GifReadLimits limits;
    limits.maxFileBytes = GifAnimation::kMaxFileBytes;
    limits.maxScreenSide = GifAnimation::kMaxSide;
    limits.maxScreenArea = GifAnimation::kMaxArea;
    limits.growScreenToFirstFrame = true;
    // Frames are decoded one at a time as they are shown: no budget for holding them all.
    limits.memoryBudget = UINT64_MAX;
    limits.maxFrames = GifAnimation::kMaxFrames;
    return limits;
}

}  // namespace

// The canvases of the animation, with its frames decoded as they are painted.
class GifAnimation::Ops : public gifimport::GifCanvasOps {
public:
    explicit Ops(GifAnimation& animation) : animation_(animation) {}

    size_t FrameCount() const override { return animation_.layout_.frames.size(); }
    gifimport::GifFrameGeometry FrameAt(size_t index) const override
    {
        return animation_.layout_.frames[index].geometry;
    }
    bool SaveArea(const gifimport::GifRect& area) override { return animation_.canvas_.SaveArea(area); }
    void RestoreArea(const gifimport::GifRect& area) override { animation_.canvas_.RestoreArea(area); }
    void FillBackground(const gifimport::GifRect& area) override
    {
        // A frame that was never shown leaves the canvas as it was, its disposal included.
        if (painted_)
            animation_.canvas_.Fill(area, kEmpty);
    }
    bool PaintFrame(size_t index, const gifimport::GifRect& area) override
    {
        if (static_cast<long long>(area.width) * area.height > kMaxArea)
            return false;
        std::vector<uint8_t> single;
        try {
            single = gifimport::FrameStream(animation_.file_.data(), animation_.layout_,
                                            animation_.layout_.frames[index]);
        } catch (const std::bad_alloc&) {
            return false;
        }
        gdImageOwner image(gdImageCreateFromGifPtr(static_cast<int>(single.size()), single.data()));
        if (!image)
            return false;
        animation_.canvas_.Paint(*image, area.left, area.top);
        painted_ = true;
        return true;
    }
    bool Snapshot(size_t /*index*/) override
    {
        // Into the room made at loading: a copy that cannot fail.
        const std::vector<uint32_t>& pixels = animation_.canvas_.Pixels();
        std::copy(pixels.begin(), pixels.end(), animation_.shown_.begin());
        return true;
    }

private:
    GifAnimation& animation_;
    bool painted_ = false;
};

void GifAnimation::Clear()
{
    file_.clear();
    file_.shrink_to_fit();
    layout_ = gifimport::GifLayout();
    current_ = -1;
    canvas_ = gifimport::GifArgbCanvas();
    shown_.clear();
    shown_.shrink_to_fit();
}

bool GifAnimation::Load(std::vector<uint8_t> bytes)
{
    Clear();
    file_ = std::move(bytes);
    // A file cut short or spoiled after some frames still plays the frames before the fault.
    if (gifimport::ReadGifLayout(file_.data(), file_.size(), ViewLimits(), &layout_) != gifimport::GifLayoutStatus::Ok ||
        layout_.frames.empty() || !canvas_.Create(layout_.screenWidth, layout_.screenHeight, kEmpty)) {
        Clear();
        return false;
    }
    try {
        shown_.assign(canvas_.Pixels().size(), kEmpty);
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    if (!Compose(0)) {
        Clear();
        return false;
    }
    return true;
}

bool GifAnimation::Compose(size_t index)
{
    current_ = static_cast<int>(index);
    Ops ops(*this);
    return gifimport::ComposeGifFrame(ops, index) == gifimport::GifFrameOutcome::Shown;
}

int GifAnimation::CurrentDelay() const
{
    if (current_ < 0 || current_ >= FrameCount())
        return kDefaultDelay;
    return gifimport::ImportedDelay(layout_.frames[static_cast<size_t>(current_)].geometry.delay);
}

void GifAnimation::Advance()
{
    if (IsEmpty())
        return;
    size_t next = static_cast<size_t>(current_) + 1;
    if (next >= layout_.frames.size()) {
        canvas_.Fill({0, 0, canvas_.Width(), canvas_.Height()}, kEmpty);
        next = 0;
    }
    Compose(next);
}

// ---------------------------------------------------------------------------------------------
// The window class

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr COLORREF kBackground = RGB(255, 255, 255);  // the page colour around and under the picture
constexpr UINT kShortestTimer = 10;                    // ms

// State of one view window, kept in its window extra bytes.
class GifViewWindow {
public:
    explicit GifViewWindow(HWND hwnd) : hwnd_(hwnd) {}

    LRESULT ShowFile(const wchar_t* path);
    void OnTimer();
    void Paint(HDC dc);
    LRESULT CopyToClipboard() const;
    const GifAnimation& Animation() const { return animation_; }
    LRESULT GetPath(wchar_t* buffer, size_t capacity) const;

private:
    void ShowNothing();
    void RefreshDisplay();
    void ScheduleNextFrame();
    RECT PictureRect() const;

    HWND hwnd_;
    GifAnimation animation_;
    std::wstring path_;              // the shown file, full path
    std::vector<uint32_t> display_;  // the canvas over the background, 0x00RRGGBB
};

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// Any "scheme:" of two or more characters: a drive letter has one.
bool IsWebAddress(const wchar_t* text)
{
    int n = 0;
    while (IsAsciiLetter(text[n]) ||
           (n > 0 && ((text[n] >= L'0' && text[n] <= L'9') || text[n] == L'+' || text[n] == L'.' || text[n] == L'-')))
        ++n;
    return n >= 2 && text[n] == L':';
}

// The whole file, read and closed; false when it cannot be read or is too large.
bool ReadWholeFile(const wchar_t* path, std::vector<uint8_t>* bytes)
{
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    struct Closer {
        HANDLE h;
        ~Closer() { ::CloseHandle(h); }
    } closer{file};
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > GifAnimation::kMaxFileBytes)
        return false;
    try {
        bytes->resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t filled = 0;
    while (filled < bytes->size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - filled, 1u << 24));
        if (!::ReadFile(file, bytes->data() + filled, want, &got, nullptr) || got == 0)
            return false;
        filled += got;
    }
    return true;
}

LRESULT GifViewWindow::ShowFile(const wchar_t* path)
{
    ::KillTimer(hwnd_, kFrameTimer);
    std::vector<uint8_t> bytes;
    if (!path || !*path || IsWebAddress(path) || !ReadWholeFile(path, &bytes) || !animation_.Load(std::move(bytes))) {
        ShowNothing();
        return FALSE;
    }
    wchar_t full[MAX_PATH * 4];
    const DWORD n = ::GetFullPathNameW(path, static_cast<DWORD>(std::size(full)), full, nullptr);
    path_ = (n > 0 && n < std::size(full)) ? std::wstring(full, n) : std::wstring(path);
    RefreshDisplay();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ScheduleNextFrame();
    return TRUE;
}

void GifViewWindow::ShowNothing()
{
    animation_.Clear();
    path_.clear();
    display_.clear();
    display_.shrink_to_fit();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void GifViewWindow::ScheduleNextFrame()
{
    if (animation_.FrameCount() < 2)
        return;
    const UINT delay = static_cast<UINT>(animation_.CurrentDelay()) * 10;
    ::SetTimer(hwnd_, kFrameTimer, std::max(delay, kShortestTimer), nullptr);
}

void GifViewWindow::OnTimer()
{
    ::KillTimer(hwnd_, kFrameTimer);
    if (animation_.IsEmpty())
        return;
    if (!::IsWindowVisible(hwnd_)) {
        // Nobody sees it: no decoding, the play goes on when the window shows again.
        ScheduleNextFrame();
        return;
    }
    animation_.Advance();
    RefreshDisplay();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    ScheduleNextFrame();
}

void GifViewWindow::RefreshDisplay()
{
    const std::vector<uint32_t>& canvas = animation_.Canvas();
    try {
        display_.resize(canvas.size());
    } catch (const std::bad_alloc&) {
        display_.clear();
        return;
    }
    const uint32_t background = (GetRValue(kBackground) << 16) | (GetGValue(kBackground) << 8) | GetBValue(kBackground);
    for (size_t i = 0; i < canvas.size(); ++i)
        display_[i] = (canvas[i] & kOpaque) ? (canvas[i] & 0x00FFFFFFu) : background;
}

// The picture at its own size in the middle of the window, or shrunk to fit, keeping its shape.
RECT GifViewWindow::PictureRect() const
{
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int cw = client.right - client.left;
    const int ch = client.bottom - client.top;
    int w = animation_.Width();
    int h = animation_.Height();
    if (w > cw || h > ch) {
        const double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
        w = std::max(1, static_cast<int>(w * scale + 0.5));
        h = std::max(1, static_cast<int>(h * scale + 0.5));
    }
    const int x = (cw - w) / 2;
    const int y = (ch - h) / 2;
    return RECT{x, y, x + w, y + h};
}

void GifViewWindow::Paint(HDC dc)
{
    RECT client;
    ::GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // Drawn off screen first, so the frames do not flicker.
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? ::CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
    HDC target = bitmap ? memory : dc;
    HGDIOBJ previous = bitmap ? ::SelectObject(memory, bitmap) : nullptr;

    HBRUSH brush = ::CreateSolidBrush(kBackground);
    ::FillRect(target, &client, brush);
    ::DeleteObject(brush);
    if (!animation_.IsEmpty() && !display_.empty()) {
        const RECT place = PictureRect();
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = animation_.Width();
        info.bmiHeader.biHeight = -animation_.Height();  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        const int w = place.right - place.left;
        const int h = place.bottom - place.top;
        if (w != animation_.Width() || h != animation_.Height()) {
            ::SetStretchBltMode(target, HALFTONE);
            ::SetBrushOrgEx(target, 0, 0, nullptr);
        }
        ::StretchDIBits(target, place.left, place.top, w, h, 0, 0, animation_.Width(), animation_.Height(),
                        display_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    if (bitmap) {
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
    }
    if (memory)
        ::DeleteDC(memory);
}

LRESULT GifViewWindow::CopyToClipboard() const
{
    if (animation_.IsEmpty() || display_.empty())
        return FALSE;
    const int w = animation_.Width();
    const int h = animation_.Height();
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
    // Both blocks are freed here unless the clipboard takes them.
    GlobalBlock dib(sizeof(BITMAPINFOHEADER) + stride * static_cast<size_t>(h));
    if (const LockedGlobal locked{dib.Get()}; auto* header = reinterpret_cast<BITMAPINFOHEADER*>(locked.Data())) {
        header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = w;
        header->biHeight = h;  // bottom row first, as every reader of CF_DIB expects
        header->biPlanes = 1;
        header->biBitCount = 24;
        header->biCompression = BI_RGB;
        header->biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(h));
        uint8_t* rows = reinterpret_cast<uint8_t*>(header + 1);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = rows + static_cast<size_t>(h - 1 - y) * stride;
            const uint32_t* source = display_.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
            for (int x = 0; x < w; ++x) {
                row[3 * x] = static_cast<uint8_t>(source[x]);
                row[3 * x + 1] = static_cast<uint8_t>(source[x] >> 8);
                row[3 * x + 2] = static_cast<uint8_t>(source[x] >> 16);
            }
        }
    } else {
        return FALSE;
    }

    // The file too, for pasting into a folder, while it still exists.
    GlobalBlock drop;
    const DWORD attributes = path_.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        drop = GlobalBlock(sizeof(DROPFILES) + (path_.size() + 2) * sizeof(wchar_t));
        if (const LockedGlobal locked{drop.Get()}; auto* files = reinterpret_cast<DROPFILES*>(locked.Data())) {
            files->pFiles = sizeof(DROPFILES);
            files->fWide = TRUE;
            std::memcpy(reinterpret_cast<uint8_t*>(files) + sizeof(DROPFILES), path_.c_str(),
                        path_.size() * sizeof(wchar_t));  // the block is zeroed: two NULs follow
        } else {
            drop = GlobalBlock();
        }
    }

    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !open; ++attempt) {
        open = ::OpenClipboard(hwnd_) != FALSE;
        if (!open)
            ::Sleep(20);
    }
    if (!open)
        return FALSE;
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_DIB, dib.Get()) != nullptr;
    if (placed)
        dib.Release();
    if (drop && ::SetClipboardData(CF_HDROP, drop.Get()))
        drop.Release();
    ::CloseClipboard();
    return placed ? TRUE : FALSE;
}

LRESULT GifViewWindow::GetPath(wchar_t* buffer, size_t capacity) const
{
    if (!buffer || capacity == 0)
        return 0;
    buffer[0] = L'\0';
    if (path_.size() >= capacity)
        return 0;
    std::copy(path_.begin(), path_.end(), buffer);
    buffer[path_.size()] = L'\0';
    return static_cast<LRESULT>(path_.size());
}

GifViewWindow* ViewOf(HWND hwnd) { return reinterpret_cast<GifViewWindow*>(::GetWindowLongPtrW(hwnd, 0)); }

LRESULT CALLBACK GifViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    GifViewWindow* view = ViewOf(hwnd);
    switch (message) {
    case WM_NCCREATE:
        view = new (std::nothrow) GifViewWindow(hwnd);
        if (!view)
            return FALSE;
        ::SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(view));
        break;
    case WM_NCDESTROY:
        ::KillTimer(hwnd, kFrameTimer);
        ::SetWindowLongPtrW(hwnd, 0, 0);
        delete view;
        view = nullptr;
        break;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        if (view)
            view->Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        if (view)
            view->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SIZE:
        ::InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimer) {
            if (view)
                view->OnTimer();
            return 0;
        }
        break;
    case GVM_SHOWFILE:
        return view ? view->ShowFile(reinterpret_cast<const wchar_t*>(lParam)) : FALSE;
    case GVM_GETFRAMECOUNT:
        return view ? view->Animation().FrameCount() : 0;
    case GVM_GETCURRENTFRAME:
        return view && !view->Animation().IsEmpty() ? view->Animation().CurrentFrame() : -1;
    case GVM_GETPICTURESIZE:
        return view ? MAKELRESULT(view->Animation().Width(), view->Animation().Height()) : 0;
    case GVM_COPYTOCLIPBOARD:
        return view ? view->CopyToClipboard() : FALSE;
    case GVM_GETPATH:
        return view ? view->GetPath(reinterpret_cast<wchar_t*>(lParam), wParam) : 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterGifViewClass()
{
    static const bool registered = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        // Global: dialogs of any module may name it in their templates.
        wc.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = GifViewProc;
        wc.cbWndExtra = sizeof(GifViewWindow*);
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kGifViewClassName;
        return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}
