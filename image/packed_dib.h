// A picture held as one packed device-independent bitmap: BITMAPINFOHEADER, colour table
// (256 entries for 8 bits per pixel, none for 24), then the pixel rows bottom-up, each row
// padded to a multiple of 4 bytes. This is the layout that GDI and the quantizer read directly.
#pragma once

#include <cstddef>
#include <vector>

#include "image/dib_types.h"

namespace pixels {

// Largest picture accepted anywhere (protects every allocation against hostile sizes).
constexpr long kMaxSide = 32767;
constexpr long long kMaxPixels = 1LL << 26;

class PackedDib {
public:
    // A zero-filled picture of width x height at 8 or 24 bits per pixel; the 8-bit colour table
    // is zero-filled too. False (and the picture left empty) for any other depth or a size
    // outside 1..kMaxSide per side or above kMaxPixels in all.
    bool Create(long width, long height, int bitsPerPixel);
    void Clear() { data_.clear(); }

    bool IsValid() const { return !data_.empty(); }
    long Width() const;
    long Height() const;
    int BitsPerPixel() const;
    size_t Stride() const { return StrideFor(Width(), BitsPerPixel()); }
    unsigned PaletteEntries() const { return BitsPerPixel() == 8 ? 256u : 0u; }

    BITMAPINFOHEADER* Header();
    const BITMAPINFOHEADER* Header() const;
    RGBQUAD* Palette();
    const RGBQUAD* Palette() const;
    BYTE* Bits();
    const BYTE* Bits() const;
    // Row y in stored order: row 0 is the bottom row of the picture.
    BYTE* Row(long y) { return Bits() + Stride() * static_cast<size_t>(y); }
    const BYTE* Row(long y) const { return Bits() + Stride() * static_cast<size_t>(y); }

    // Colour of the pixel at column x, stored row y (through the colour table at 8 bits).
    RGBQUAD PixelColor(long x, long y) const;

    BYTE* Data() { return data_.empty() ? nullptr : data_.data(); }
    const BYTE* Data() const { return data_.empty() ? nullptr : data_.data(); }
    size_t Size() const { return data_.size(); }

    static size_t StrideFor(long width, int bitsPerPixel) {
        return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
    }
    static bool SizeAllowed(long width, long height);

private:
    std::vector<BYTE> data_;
};

}  // namespace pixels
