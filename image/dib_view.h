// Where the parts of a packed DIB (header, colour table, rows) lie, for code that reads
// pictures it did not allocate. Win32-free.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/packed_dib.h"

namespace pixels {

// Only uncompressed 8- and 24-bit pictures are described, bottom-up or top-down.
struct DibView {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    bool topDown = false;
    size_t stride = 0;
    const RGBQUAD* palette = nullptr;  // 8 bits per pixel only
    unsigned paletteEntries = 0;
    const uint8_t* rows = nullptr;

    // Row y counted from the top of the picture.
    const uint8_t* TopDownRow(int y) const {
        const int stored = topDown ? y : height - 1 - y;
        return rows + stride * static_cast<size_t>(stored);
    }

    // False for a null pointer or a header that does not describe a picture of at most
    // kMaxSide pixels a side and kMaxPixels in all.
    static bool Read(const void* dib, DibView& out);

    // The view of a valid picture, laid out as the picture itself says (its 256-entry table
    // at 8 bits, whatever the header's colour count).
    static DibView Of(const PackedDib& dib);
};

}  // namespace pixels
