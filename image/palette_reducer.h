// Reduction of a picture to a given colour table, straight into palette indexes. Win32-free;
// the image library's colour reduction and the animated-GIF writer both go through it.
//
// Each pixel takes the nearest of the allowed entries by squared RGB distance, the lowest
// index on ties; with dithering the error is spread by Floyd-Steinberg (rows top to bottom,
// left to right), accumulated in sixteenths and rounded half away from zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/dib_types.h"
#include "image/dib_view.h"

namespace pixels {

class PaletteReducer {
public:
    // table: 256 entries (rgbReserved is ignored), of which only the first `count` may be
    // chosen; 0 or more than 256 allows all 256.
    explicit PaletteReducer(const RGBQUAD* table, unsigned count = 256);

    // Writes width x height indexes; out is the top row, and rows are outStride bytes apart
    // (negative for a picture stored bottom-up).
    void Reduce(const DibView& src, bool dither, uint8_t* out, ptrdiff_t outStride);

    // The nearest allowed entry to (r, g, b): a small cache of recent colours first, then the
    // colour's cell (see below).
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
    void ReducePlain(const DibView& src, uint8_t* out, ptrdiff_t outStride);
    void ReduceDithered(const DibView& src, uint8_t* out, ptrdiff_t outStride);
    // Row y (top-down) as blue, green, red triplets; 8-bit rows are looked up in their table.
    const uint8_t* RowColours(const DibView& src, int y);

    unsigned count_;
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

}  // namespace pixels
