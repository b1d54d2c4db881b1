#include "controls/gif_view.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "image/handles.h"

// ---------------------------------------------------------------------------------------------
// GifAnimation

namespace {

constexpr uint8_t kTrailer = 0x3B;
constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

void GifAnimation::Clear()
{
    file_.clear();
    file_.shrink_to_fit();
    headerBytes_ = 0;
    frames_.clear();
    frames_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
    current_ = -1;
    currentBox_ = Box();
    canvas_.clear();
    canvas_.shrink_to_fit();
    saved_.clear();
    saved_.shrink_to_fit();
}

bool GifAnimation::Load(std::vector<uint8_t> bytes)
{
    Clear();
    if (bytes.size() > kMaxFileBytes)
        return false;
    file_ = std::move(bytes);
    gifcodec::GifFrameWalker walker(file_.data(), file_.size());
    if (!walker.HeaderValid()) {
        Clear();
        return false;
    }
    const gifcodec::GifScreenInfo& screen = walker.Screen();
    long long width = screen.width;
    long long height = screen.height;
    gifcodec::GifFrameBlock block;
    try {
        // A file cut short or spoiled after some frames still plays the frames before the fault.
        while (frames_.size() < kMaxFrames && walker.Next(&block)) {
            if (frames_.empty()) {
                width = std::max<long long>(width, block.left + block.width);
                height = std::max<long long>(height, block.top + block.height);
            }
            Frame frame;
            frame.begin = block.begin;
            frame.end = block.end;
            frame.left = block.left;
            frame.top = block.top;
            frame.width = block.width;
            frame.height = block.height;
            frame.delay = block.delay > 0 ? block.delay : kDefaultDelay;
            frame.disposal = block.disposal;
            frames_.push_back(frame);
        }
        if (frames_.empty() || width > kMaxSide || height > kMaxSide || width * height > kMaxArea) {
            Clear();
            return false;
        }
        width_ = static_cast<int>(width);
        height_ = static_cast<int>(height);
        headerBytes_ = screen.headerBytes;
        canvas_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    current_ = 0;
    if (!DrawFrame(frames_[0])) {
        Clear();
        return false;
    }
    if (frames_[0].disposal == 3) {
        // Disposal 3 of the first frame goes back to the empty canvas.
        saved_.assign(canvas_.size(), 0);
    }
    return true;
}

int GifAnimation::CurrentDelay() const
{
    if (current_ < 0 || current_ >= FrameCount())
        return kDefaultDelay;
    return frames_[static_cast<size_t>(current_)].delay;
}

void GifAnimation::ClearCanvas()
{
    std::fill(canvas_.begin(), canvas_.end(), 0u);
}

void GifAnimation::DisposeCurrent()
{
    if (current_ < 0)
        return;
    const Frame& frame = frames_[static_cast<size_t>(current_)];
    if (frame.disposal == 2) {
        for (int y = currentBox_.top; y < currentBox_.bottom; ++y) {
            uint32_t* row = canvas_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
            std::fill(row + currentBox_.left, row + currentBox_.right, 0u);
        }
    } else if (frame.disposal == 3 && saved_.size() == canvas_.size()) {
        canvas_.swap(saved_);
    }
}

void GifAnimation::Advance()
{
    if (frames_.empty())
        return;
    int next = current_ + 1;
    if (next >= FrameCount()) {
        ClearCanvas();
        next = 0;
    } else {
        DisposeCurrent();
    }
    current_ = next;
    const Frame& frame = frames_[static_cast<size_t>(next)];
    if (frame.disposal == 3) {
        try {
            saved_ = canvas_;
        } catch (const std::bad_alloc&) {
            saved_.clear();  // the frame then stays, as with disposal 1
        }
    }
    DrawFrame(frame);
}

bool GifAnimation::DrawFrame(const Frame& frame)
{
    currentBox_ = Box();
    if (static_cast<long long>(frame.width) * frame.height > kMaxArea)
        return false;
    // The frame alone, as a one-frame GIF: the file's header and global table, the frame's
    // blocks, the trailer.
    std::vector<uint8_t> single;
    try {
        single.reserve(headerBytes_ + (frame.end - frame.begin) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    single.insert(single.end(), file_.begin(), file_.begin() + static_cast<std::ptrdiff_t>(headerBytes_));
    single.insert(single.end(), file_.begin() + static_cast<std::ptrdiff_t>(frame.begin),
                  file_.begin() + static_cast<std::ptrdiff_t>(frame.end));
    single.push_back(kTrailer);
    gdImageOwner image(gdImageCreateFromGifPtr(static_cast<int>(single.size()), single.data()));
    if (!image)
        return false;

    uint32_t colours[gdMaxColors];
    for (int i = 0; i < gdMaxColors; ++i) {
        colours[i] = kOpaque | (static_cast<uint32_t>(image->red[i] & 0xFF) << 16) |
                     (static_cast<uint32_t>(image->green[i] & 0xFF) << 8) |
                     static_cast<uint32_t>(image->blue[i] & 0xFF);
    }
    Box box;
    box.left = std::min(frame.left, width_);
    box.top = std::min(frame.top, height_);
    box.right = std::min(frame.left + image->sx, width_);
    box.bottom = std::min(frame.top + image->sy, height_);
    const int transparent = image->transparent;
    for (int y = box.top; y < box.bottom; ++y) {
        const unsigned char* source = image->pixels.data() + static_cast<size_t>(y - frame.top) * image->sx;
        uint32_t* target = canvas_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
        for (int x = box.left; x < box.right; ++x) {
            const int index = source[x - frame.left];
            if (index != transparent)
                target[x] = colours[index];
        }
    }
    currentBox_ = box;
    return true;
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
