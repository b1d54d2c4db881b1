#include "image/packed_dib.h"

#include <cstring>

namespace pixels {

bool PackedDib::SizeAllowed(long width, long height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    return static_cast<long long>(width) * height <= kMaxPixels;
}

bool PackedDib::Create(long width, long height, int bitsPerPixel) {
    data_.clear();
    if (bitsPerPixel != 8 && bitsPerPixel != 24) return false;
    if (!SizeAllowed(width, height)) return false;
    const size_t stride = StrideFor(width, bitsPerPixel);
    const size_t paletteBytes = bitsPerPixel == 8 ? 256 * sizeof(RGBQUAD) : 0;
    const size_t imageBytes = stride * static_cast<size_t>(height);
    data_.assign(sizeof(BITMAPINFOHEADER) + paletteBytes + imageBytes, 0);

    BITMAPINFOHEADER* h = Header();
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;  // positive: bottom-up rows
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bitsPerPixel);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(imageBytes);
    h->biClrUsed = bitsPerPixel == 8 ? 256 : 0;
    h->biClrImportant = 0;
    return true;
}

long PackedDib::Width() const { return data_.empty() ? 0 : Header()->biWidth; }
long PackedDib::Height() const { return data_.empty() ? 0 : Header()->biHeight; }
int PackedDib::BitsPerPixel() const { return data_.empty() ? 0 : Header()->biBitCount; }

BITMAPINFOHEADER* PackedDib::Header() {
    return data_.empty() ? nullptr : reinterpret_cast<BITMAPINFOHEADER*>(data_.data());
}
const BITMAPINFOHEADER* PackedDib::Header() const {
    return data_.empty() ? nullptr : reinterpret_cast<const BITMAPINFOHEADER*>(data_.data());
}
RGBQUAD* PackedDib::Palette() {
    if (PaletteEntries() == 0) return nullptr;
    return reinterpret_cast<RGBQUAD*>(data_.data() + sizeof(BITMAPINFOHEADER));
}
const RGBQUAD* PackedDib::Palette() const {
    if (PaletteEntries() == 0) return nullptr;
    return reinterpret_cast<const RGBQUAD*>(data_.data() + sizeof(BITMAPINFOHEADER));
}
BYTE* PackedDib::Bits() {
    if (data_.empty()) return nullptr;
    return data_.data() + sizeof(BITMAPINFOHEADER) + PaletteEntries() * sizeof(RGBQUAD);
}
const BYTE* PackedDib::Bits() const {
    if (data_.empty()) return nullptr;
    return data_.data() + sizeof(BITMAPINFOHEADER) + PaletteEntries() * sizeof(RGBQUAD);
}

RGBQUAD PackedDib::PixelColor(long x, long y) const {
    RGBQUAD c{0, 0, 0, 0};
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return c;
    const BYTE* row = Row(y);
    if (BitsPerPixel() == 8) {
        c = Palette()[row[x]];
        c.rgbReserved = 0;
    } else {
        c.rgbBlue = row[x * 3];
        c.rgbGreen = row[x * 3 + 1];
        c.rgbRed = row[x * 3 + 2];
    }
    return c;
}

}  // namespace pixels
