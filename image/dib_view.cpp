#include "image/dib_view.h"

#include <cstring>

namespace pixels {
namespace {

bool IsKnownHeaderSize(uint32_t size) {
    // BITMAPINFOHEADER, its two bit-field extensions, OS/2 2.x, V4 and V5.
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

}  // namespace

bool DibView::Read(const void* dib, DibView& out) {
    if (dib == nullptr) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(dib);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    if (!IsKnownHeaderSize(header.biSize) || header.biCompression != BI_RGB) return false;
    if (header.biBitCount != 8 && header.biBitCount != 24) return false;
    const long width = header.biWidth;
    // Wide enough to negate the most negative height (long is 32 bits on Windows).
    const long long height =
        header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (height > kMaxSide || !PackedDib::SizeAllowed(width, static_cast<long>(height)))
        return false;
    unsigned entries = header.biClrUsed;
    if (entries > 256) return false;
    if (header.biBitCount == 8 && entries == 0) entries = 256;

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bitsPerPixel = header.biBitCount;
    out.topDown = header.biHeight < 0;
    out.stride = PackedDib::StrideFor(width, header.biBitCount);
    out.palette = reinterpret_cast<const RGBQUAD*>(bytes + header.biSize);
    out.paletteEntries = header.biBitCount == 8 ? entries : 0;
    out.rows = bytes + header.biSize + static_cast<size_t>(entries) * sizeof(RGBQUAD);
    return true;
}

DibView DibView::Of(const PackedDib& dib) {
    DibView view;
    if (!dib.IsValid()) return view;
    view.width = static_cast<int>(dib.Width());
    view.height = static_cast<int>(dib.Height());
    view.bitsPerPixel = dib.BitsPerPixel();
    view.stride = dib.Stride();
    view.palette = dib.Palette();
    view.paletteEntries = dib.PaletteEntries();
    view.rows = dib.Bits();
    return view;
}

}  // namespace pixels
