// Reduction of a frame to the GIF's shared 256-colour table, straight into palette indexes
// (top row first), for the animated-GIF writer. Win32-free.
//
// The result is exactly what the image library's colour reduction (CxImage::DecreaseBpp with
// all 256 entries) gives: each pixel takes the nearest entry by squared RGB distance, the
// lowest index on ties, and with dithering the error is spread by Floyd-Steinberg with the
// same rounding. Doing it here spares the copy into an 8-bit picture and its trip through a
// one-frame GIF on the way to the GIF encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/dib_types.h"

namespace gifpipeline {

// Where the parts of a packed DIB (header, colour table, rows) lie, once its header has been
// checked. Only uncompressed 8- and 24-bit pictures are accepted, bottom-up or top-down.
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
    // 32767 pixels a side and 64 M pixels in all.
    static bool Read(const void* dib, DibView& out);
};

class PaletteReducer {
public:
    // table: the 256 entries every pixel may take (rgbReserved is ignored).
    explicit PaletteReducer(const RGBQUAD* table);

    // Writes width x height indexes to out (rows of `outStride` bytes, top row first).
    void Reduce(const DibView& src, bool dither, uint8_t* out, size_t outStride);

    // The nearest entry of the table to (r, g, b): a small cache of recent colours first,
    // then the colour's cell (see below).
    uint8_t Nearest(int r, int g, int b) {
        const uint32_t key = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                             static_cast<uint32_t>(b);
        const size_t slot = (key * 2654435761u) >> (32 - kCacheBits);
        if (cacheKeys_[slot] != key) {
            cacheKeys_[slot] = key;
            cacheIndexes_[slot] = NearestInCell(r, g, b);
        }
        return cacheIndexes_[slot];
    }

private:
    // The colour cube is cut into cells of 8 x 8 x 8 colours. A cell's candidates are the
    // entries that can be nearest (or tied) for some colour in it: those whose distance to the
    // cell is at most the smallest farthest-corner distance of any entry. Each cell's list is
    // built on first use and kept in ascending index order, so the first of equals wins.
    static constexpr int kCellShift = 3;
    static constexpr int kCellBits = 8 - kCellShift;
    static constexpr int kCellSide = 1 << kCellShift;
    static constexpr uint32_t kUnbuilt = 0xFFFFFFFFu;
    // 4096 cached colours stay in the first-level data cache; more were slower.
    static constexpr unsigned kCacheBits = 12;

    uint8_t NearestInCell(int r, int g, int b) {
        const size_t cell = (static_cast<size_t>(r >> kCellShift) << (2 * kCellBits)) |
                            (static_cast<size_t>(g >> kCellShift) << kCellBits) |
                            static_cast<size_t>(b >> kCellShift);
        uint32_t packed = cells_[cell];
        if (packed == kUnbuilt) packed = BuildCell(cell);
        const uint8_t* candidates = cellEntries_.data() + (packed >> 8);
        const unsigned count = (packed & 0xFF) + 1;
        // Selects without branches: which candidate wins is as unpredictable as the colours.
        int bestDist = 1 << 30;
        unsigned best = candidates[0];
        for (unsigned k = 0; k < count; ++k) {
            const unsigned i = candidates[k];
            const int dr = r - red_[i], dg = g - green_[i], db = b - blue_[i];
            const int d = dr * dr + dg * dg + db * db;
            const bool closer = d < bestDist;
            bestDist = closer ? d : bestDist;
            best = closer ? i : best;
        }
        return static_cast<uint8_t>(best);
    }
    // Builds a cell's list; returns it packed as offset << 8 | (count - 1).
    uint32_t BuildCell(size_t cell);
    void ReducePlain(const DibView& src, uint8_t* out, size_t outStride);
    void ReduceDithered(const DibView& src, uint8_t* out, size_t outStride);
    // Row y (top-down) as blue, green, red triplets; 8-bit rows are looked up in their table.
    const uint8_t* RowColours(const DibView& src, int y);

    int red_[256];
    int green_[256];
    int blue_[256];
    std::vector<uint32_t> cacheKeys_;  // 0xFFFFFFFF: empty (no colour has that key)
    std::vector<uint8_t> cacheIndexes_;
    std::vector<uint32_t> cells_;
    std::vector<uint8_t> cellEntries_;
    std::vector<uint8_t> rowBuffer_;
    std::vector<int> errThis_;
    std::vector<int> errNext_;
};

}  // namespace gifpipeline
