// CxImage and GDI: filling a picture from a bitmap, drawing it to a device context.
#include <cstdlib>

#include "image/gdi_objects.h"
#include "image/ximage.h"

namespace {

// Restores a device context's stretch mode (and brush origin, which HALFTONE needs) on exit.
class StretchModeScope {
public:
    StretchModeScope(HDC dc, int mode) : dc_(dc), oldMode_(SetStretchBltMode(dc, mode)) {
        if (mode == HALFTONE) brushMoved_ = SetBrushOrgEx(dc, 0, 0, &oldOrigin_) != 0;
    }
    ~StretchModeScope() {
        if (brushMoved_) SetBrushOrgEx(dc_, oldOrigin_.x, oldOrigin_.y, nullptr);
        if (oldMode_) SetStretchBltMode(dc_, oldMode_);
    }
    StretchModeScope(const StretchModeScope&) = delete;
    StretchModeScope& operator=(const StretchModeScope&) = delete;

private:
    HDC dc_;
    int oldMode_;
    POINT oldOrigin_{0, 0};
    bool brushMoved_ = false;
};

// Saves a device context's state and narrows its clipping to a rectangle; restores on exit.
class ClipScope {
public:
    ClipScope(HDC dc, const RECT* clip) : dc_(dc) {
        if (clip == nullptr) return;
        saved_ = SaveDC(dc);
        IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    }
    ~ClipScope() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC dc_;
    int saved_ = 0;
};

}  // namespace

bool CxImage::CreateFromHBITMAP(HBITMAP hbmp, HPALETTE /*hpal*/) {
    BITMAP bm{};
    if (hbmp == nullptr || GetObjectW(hbmp, sizeof(bm), &bm) == 0) return false;
    const long w = bm.bmWidth;
    const long h = std::labs(bm.bmHeight);
    pixels::PackedDib result;
    if (!result.Create(w, h, 24)) return false;

    ximage_gdi::MemoryDc dc;
    if (dc.Get() == nullptr) return false;
    // GetDIBits may rewrite the header it is given; give it a copy.
    BITMAPINFO info{};
    info.bmiHeader = *result.Header();
    const int lines = GetDIBits(dc.Get(), hbmp, 0, static_cast<UINT>(h), result.Bits(), &info,
                                DIB_RGB_COLORS);
    if (lines != h) return false;
    dib_ = std::move(result);
    transIndex_ = -1;
    numFrames_ = 1;
    return true;
}

long CxImage::Draw(HDC hdc, long x, long y, long cx, long cy, RECT* pClipRect, bool bSmooth) const {
    if (hdc == nullptr || !IsValid()) return 0;
    const long w = dib_.Width();
    const long h = dib_.Height();
    if (cx < 0) cx = w;
    if (cy < 0) cy = h;
    if (cx == 0 || cy == 0) return 0;
    ClipScope clip(hdc, pClipRect);
    StretchModeScope mode(hdc, bSmooth ? HALFTONE : COLORONCOLOR);
    const int lines = StretchDIBits(hdc, x, y, cx, cy, 0, 0, w, h, dib_.Bits(),
                                    reinterpret_cast<const BITMAPINFO*>(dib_.Data()),
                                    DIB_RGB_COLORS, SRCCOPY);
    return (lines > 0) ? 1 : 0;
}

long CxImage::Draw(HDC hdc, const RECT& rect, RECT* pClipRect, bool bSmooth) const {
    return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, pClipRect,
                bSmooth);
}

long CxImage::Stretch(HDC hdc, long xoffset, long yoffset, long xsize, long ysize, DWORD dwRop) const {
    if (hdc == nullptr || !IsValid() || xsize == 0 || ysize == 0) return 0;
    StretchModeScope mode(hdc, COLORONCOLOR);
    const int lines = StretchDIBits(hdc, xoffset, yoffset, xsize, ysize, 0, 0, dib_.Width(),
                                    dib_.Height(), dib_.Bits(),
                                    reinterpret_cast<const BITMAPINFO*>(dib_.Data()),
                                    DIB_RGB_COLORS, dwRop);
    return (lines > 0) ? 1 : 0;
}
