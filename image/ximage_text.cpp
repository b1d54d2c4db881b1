// CxImage text drawing: GDI measures the text and renders its letters as a coverage mask on a
// DIB section; the pixel layer paints the box and the letters into the picture.
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "image/gdi_objects.h"
#include "image/pixel_ops.h"
#include "image/ximage.h"

namespace {

UINT AlignFlags(long align) {
    if (align == DT_CENTER) return DT_CENTER;
    if (align == DT_RIGHT) return DT_RIGHT;
    return DT_LEFT;
}

// Renders text white on black into a top-down 24-bit DIB section of width x height with
// the text rectangle at `place`, and returns the coverage of every pixel (its brightest channel).
bool RenderCoverage(HDC dc, const WCHAR* text, UINT format, RECT place, long width, long height,
                    std::vector<BYTE>& coverage) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ximage_gdi::GdiObject<HBITMAP> section(
        CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (section.Get() == nullptr || bits == nullptr) return false;
    const size_t stride = pixels::PackedDib::StrideFor(width, 24);
    std::fill_n(static_cast<BYTE*>(bits), stride * static_cast<size_t>(height), BYTE{0});
    {
        ximage_gdi::Selection select(dc, section.Get());
        if (!select.Ok()) return false;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextW(dc, text, -1, &place, format);
        GdiFlush();
    }
    coverage.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const BYTE* src = static_cast<const BYTE*>(bits);
    for (long y = 0; y < height; ++y) {
        const BYTE* row = src + stride * static_cast<size_t>(y);
        BYTE* out = &coverage[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (long x = 0; x < width; ++x)
            out[x] = std::max(row[x * 3], std::max(row[x * 3 + 1], row[x * 3 + 2]));
    }
    return true;
}

}  // namespace

bool CxImage::PaintText(long x, long y, const LOGFONTW& font, const WCHAR* text, long align,
                        bool smooth, bool box, RGBQUAD textColour, RGBQUAD boxColour,
                        float boxTransparency, long boxRadius) {
    if (text == nullptr || !MakeTrueColour()) return false;
    ximage_gdi::MemoryDc dc;
    if (dc.Get() == nullptr) return false;

    // The box is measured with the font exactly as described, as callers measure it.
    LOGFONTW described = font;
    described.lfFaceName[LF_FACESIZE - 1] = 0;
    ximage_gdi::GdiObject<HFONT> measureFont(CreateFontIndirectW(&described));
    if (measureFont.Get() == nullptr) return false;
    const UINT format = DT_NOPREFIX | AlignFlags(align);
    RECT measured{0, 0, 0, 0};
    {
        ximage_gdi::Selection select(dc.Get(), measureFont.Get());
        if (!select.Ok()) return false;
        DrawTextW(dc.Get(), text, -1, &measured, DT_CALCRECT | format);
    }
    const long w = measured.right - measured.left;
    const long h = measured.bottom - measured.top;
    const pixels::PixelRect boxRect{x, y - h, x + w, y};
    if (box) pixels::FillBox(dib_, boxRect, boxColour, boxTransparency, boxRadius);

    // Letters: only the part of the box inside the picture is rendered.
    const long left = std::max(0L, boxRect.left);
    const long top = std::max(0L, boxRect.top);
    const long right = std::min(dib_.Width(), boxRect.right);
    const long bottom = std::min(dib_.Height(), boxRect.bottom);
    if (right <= left || bottom <= top) return true;

    LOGFONTW rendered = described;
    if (smooth && rendered.lfQuality == DEFAULT_QUALITY) rendered.lfQuality = ANTIALIASED_QUALITY;
    ximage_gdi::GdiObject<HFONT> renderFont(CreateFontIndirectW(&rendered));
    if (renderFont.Get() == nullptr) return false;
    ximage_gdi::Selection select(dc.Get(), renderFont.Get());
    if (!select.Ok()) return false;
    const RECT place{boxRect.left - left, boxRect.top - top, boxRect.right - left,
                     boxRect.bottom - top};
    std::vector<BYTE> coverage;
    if (!RenderCoverage(dc.Get(), text, format, place, right - left, bottom - top, coverage))
        return false;
    return pixels::PaintCoverage(dib_, left, top, coverage, right - left, bottom - top, textColour,
                                 !smooth);
}

long CxImage::DrawString(HDC /*hdc*/, long x, long y, const TCHAR* text, RGBQUAD color,
                         const TCHAR* font, long lSize, long lWeight, BYTE bItalic, BYTE bUnderline,
                         bool /*bSetAlpha*/) {
    if (text == nullptr) return 0;
    LOGFONTW lf{};
    lf.lfHeight = lSize;
    lf.lfWeight = lWeight;
    lf.lfItalic = bItalic;
    lf.lfUnderline = bUnderline;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (font != nullptr) wcsncpy(lf.lfFaceName, font, LF_FACESIZE - 1);
    return PaintText(x, y, lf, text, DT_LEFT, false, false, color, color, 0.0f, 0) ? 1 : 0;
}

long CxImage::DrawStringEx(HDC /*hdc*/, long x, long y, CXTEXTINFO* pTextType, bool /*bSetAlpha*/) {
    if (pTextType == nullptr) return 0;
    // The record's text need not be terminated; never read past its 4096 units.
    const size_t n = wcsnlen(pTextType->text, sizeof(pTextType->text) / sizeof(WCHAR));
    const std::wstring text(pTextType->text, n);
    return PaintText(x, y, pTextType->lfont, text.c_str(), pTextType->align,
                     pTextType->smooth != 0, pTextType->opaque != 0,
                     RGBtoRGBQUAD(pTextType->fcolor), RGBtoRGBQUAD(pTextType->bcolor),
                     pTextType->b_opacity, pTextType->b_round)
               ? 1
               : 0;
}
