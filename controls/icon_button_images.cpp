// Image buttons: transparency masks and the grey and darker copies of bitmaps and icons. The
// copies work pixel by pixel on memory DCs compatible with the screen; the images are small.
#include "controls/icon_button.h"

namespace {

constexpr double kDarkFactor = 0.25;

// A memory DC compatible with the screen with one bitmap selected; the DC's own bitmap is put
// back before the DC is deleted, so the selected bitmap can be deleted or used afterwards.
class SelectedBitmap {
public:
    SelectedBitmap(HDC reference, HBITMAP bitmap)
    {
        if (!dc.CreateCompatibleDC(reference ? CDC::FromHandle(reference) : nullptr) || !bitmap)
            return;
        previous = dc.SelectObject((HGDIOBJ)bitmap);
        ok = previous != nullptr;
    }
    ~SelectedBitmap()
    {
        if (ok)
            dc.SelectObject(previous);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    CDC dc;
    bool ok = false;

private:
    HGDIOBJ previous = nullptr;
};

// The icon information's two bitmaps are copies the reader must delete.
struct IconBitmaps {
    ICONINFO info = {};
    bool ok = false;
    explicit IconBitmaps(HICON icon) : ok(icon && ::GetIconInfo(icon, &info)) {}
    ~IconBitmaps()
    {
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
        if (info.hbmMask)
            ::DeleteObject(info.hbmMask);
    }
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;
};

// Writes every pixel of a new screen-compatible bitmap from the source's pixel through recolor.
template <class Recolor>
HBITMAP RecoloredBitmap(HBITMAP hSource, int width, int height, Recolor recolor)
{
    if (!hSource || width <= 0 || height <= 0)
        return nullptr;
    CClientDC screen(nullptr);
    CBitmap copy;
    if (!copy.CreateCompatibleBitmap(&screen, width, height))
        return nullptr;
    {
        SelectedBitmap source(screen.GetSafeHdc(), hSource);
        SelectedBitmap target(screen.GetSafeHdc(), (HBITMAP)copy.GetSafeHandle());
        if (!source.ok || !target.ok)
            return nullptr;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                target.dc.SetPixelV(x, y, recolor(source.dc.GetPixel(x, y)));
    }
    return (HBITMAP)copy.Detach();
}

// A new icon from the icon's own mask and a recoloured copy of its colour bitmap; pure black
// stays black (the transparent area of an icon is black in its colour bitmap).
template <class Recolor>
HICON RecoloredIcon(HICON hIcon, Recolor recolor)
{
    IconBitmaps icon(hIcon);
    if (!icon.ok || !icon.info.hbmColor)
        return nullptr;
    BITMAP format = {};
    if (!::GetObjectW(icon.info.hbmColor, sizeof(format), &format))
        return nullptr;
    const int width = (int)icon.info.xHotspot * 2;
    const int height = (int)icon.info.yHotspot * 2;
    CClientDC screen(nullptr);
    if (!screen.GetSafeHdc() || width <= 0 || height <= 0)
        return nullptr;
    CBitmap color;
    if (!color.CreateBitmap(width, height, format.bmPlanes, format.bmBitsPixel, nullptr))
        return nullptr;
    {
        SelectedBitmap source(screen.GetSafeHdc(), icon.info.hbmColor);
        SelectedBitmap target(screen.GetSafeHdc(), (HBITMAP)color.GetSafeHandle());
        if (!source.ok || !target.ok)
            return nullptr;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF pixel = source.dc.GetPixel(x, y);
                target.dc.SetPixelV(x, y, pixel == 0 ? 0 : recolor(pixel));
            }
        }
    }
    ICONINFO made = {};
    made.fIcon = TRUE;
    made.xHotspot = icon.info.xHotspot;
    made.yHotspot = icon.info.yHotspot;
    made.hbmMask = icon.info.hbmMask;
    made.hbmColor = (HBITMAP)color.GetSafeHandle();
    return ::CreateIconIndirect(&made);  // copies both bitmaps
}

}  // namespace

BYTE CImageButtonBase::GrayLevel(COLORREF crColor)
{
    const double level = 0.299 * GetRValue(crColor) + 0.587 * GetGValue(crColor) + 0.114 * GetBValue(crColor);
    return (BYTE)(int)level;
}

COLORREF CImageButtonBase::ScaleColorDown(COLORREF crColor, double factor)
{
    if (!(factor > 0.0 && factor <= 1.0))
        return crColor;
    auto scale = [factor](BYTE c) { return (BYTE)(int)(c - c * factor); };
    return RGB(scale(GetRValue(crColor)), scale(GetGValue(crColor)), scale(GetBValue(crColor)));
}

HBITMAP CImageButtonBase::MakeMaskBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent)
{
    if (!hSource || width <= 0 || height <= 0)
        return nullptr;
    CBitmap mask;
    if (!mask.CreateBitmap(width, height, 1, 1, nullptr))
        return nullptr;
    {
        SelectedBitmap source(nullptr, hSource);
        SelectedBitmap target(nullptr, (HBITMAP)mask.GetSafeHandle());
        if (!source.ok || !target.ok)
            return nullptr;
        // Colour to monochrome: pixels of the source's background colour become 1.
        source.dc.SetBkColor(crTransparent);
        target.dc.BitBlt(0, 0, width, height, &source.dc, 0, 0, SRCCOPY);
        // Monochrome to colour: 1 takes the background colour (black), 0 the text colour (white),
        // so the AND blackens exactly the transparent pixels.
        source.dc.SetTextColor(RGB(255, 255, 255));
        source.dc.SetBkColor(RGB(0, 0, 0));
        source.dc.BitBlt(0, 0, width, height, &target.dc, 0, 0, SRCAND);
    }
    return (HBITMAP)mask.Detach();
}

HBITMAP CImageButtonBase::MakeGrayBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent)
{
    return RecoloredBitmap(hSource, width, height, [crTransparent](COLORREF c) {
        if (c == crTransparent)
            return c;
        const BYTE g = GrayLevel(c);
        return RGB(g, g, g);
    });
}

HBITMAP CImageButtonBase::MakeDarkBitmap(HBITMAP hSource, int width, int height, COLORREF crTransparent)
{
    return RecoloredBitmap(hSource, width, height, [crTransparent](COLORREF c) {
        return c == crTransparent ? c : ScaleColorDown(c, kDarkFactor);
    });
}

HICON CImageButtonBase::MakeGrayIcon(HICON hIcon)
{
    return RecoloredIcon(hIcon, [](COLORREF c) {
        const BYTE g = GrayLevel(c);
        return RGB(g, g, g);
    });
}

HICON CImageButtonBase::MakeDarkIcon(HICON hIcon)
{
    return RecoloredIcon(hIcon, [](COLORREF c) { return ScaleColorDown(c, kDarkFactor); });
}
