#include "image/palette_reducer.h"

#include <algorithm>

namespace pixels {
namespace {

inline int Clamp255(int v) { return std::min(std::max(v, 0), 255); }

// Accumulated error (in sixteenths) rounded to whole units, half away from zero; without
// branches, as the sign of the error is anybody's guess.
inline int Sixteenths(int e) {
    const int sign = e >> 31;                 // 0 or -1
    const int magnitude = (e ^ sign) - sign;  // |e|
    const int units = (magnitude + 8) >> 4;
    return (units ^ sign) - sign;
}

// Squared distance along one channel from v to the span lo..hi, and to its farther end.
// Plain int arithmetic without branches, so that the loops over the table vectorise.
inline int NearSq(int v, int lo, int hi) {
    const int d = std::max(0, std::max(lo - v, v - hi));
    return d * d;
}
inline int FarSq(int v, int lo, int hi) {
    const int d = std::max(v - lo, hi - v);
    return d * d;
}

}  // namespace

PaletteReducer::PaletteReducer(const RGBQUAD* table, unsigned count)
    : count_(count == 0 || count > 256 ? 256 : count),
      cacheKeys_(size_t{1} << kCacheBits, 0xFFFFFFFFu),
      cacheIndexes_(size_t{1} << kCacheBits, 0),
      cells_(size_t{1} << (3 * kCellBits), kUnbuilt) {
    for (unsigned i = 0; i < 256; ++i) {
        red_[i] = table[i].rgbRed;
        green_[i] = table[i].rgbGreen;
        blue_[i] = table[i].rgbBlue;
    }
}

uint32_t PaletteReducer::BuildCell(size_t cell) {
    constexpr size_t mask = (size_t{1} << kCellBits) - 1;
    const int r0 = static_cast<int>((cell >> (2 * kCellBits)) & mask) << kCellShift;
    const int g0 = static_cast<int>((cell >> kCellBits) & mask) << kCellShift;
    const int b0 = static_cast<int>(cell & mask) << kCellShift;
    const int r1 = r0 + kCellSide - 1, g1 = g0 + kCellSide - 1, b1 = b0 + kCellSide - 1;
    // Squared distances are at most 3 x 255 x 255: ints suffice.
    int nearest[256];
    int bound = 3 * 255 * 255;
    for (unsigned i = 0; i < count_; ++i) {
        nearest[i] = NearSq(red_[i], r0, r1) + NearSq(green_[i], g0, g1) + NearSq(blue_[i], b0, b1);
        const int farthest =
            FarSq(red_[i], r0, r1) + FarSq(green_[i], g0, g1) + FarSq(blue_[i], b0, b1);
        bound = std::min(bound, farthest);
    }
    uint8_t chosen[256];
    unsigned count = 0;
    for (unsigned i = 0; i < count_; ++i) {
        chosen[count] = static_cast<uint8_t>(i);
        count += nearest[i] <= bound ? 1 : 0;
    }
    const uint32_t offset = static_cast<uint32_t>(cellEntries_.size());
    cellEntries_.insert(cellEntries_.end(), chosen, chosen + count);
    // The entry that bounds the cell is always a candidate, so there are 1..count_.
    cells_[cell] = (offset << 8) | (count - 1);
    return cells_[cell];
}

const uint8_t* PaletteReducer::RowColours(const DibView& src, int y) {
    const uint8_t* row = src.TopDownRow(y);
    if (src.bitsPerPixel == 24) return row;
    rowBuffer_.resize(static_cast<size_t>(src.width) * 3);
    uint8_t* p = rowBuffer_.data();
    for (int x = 0; x < src.width; ++x, p += 3) {
        const unsigned index = row[x];
        if (index < src.paletteEntries) {
            p[0] = src.palette[index].rgbBlue;
            p[1] = src.palette[index].rgbGreen;
            p[2] = src.palette[index].rgbRed;
        } else {
            p[0] = p[1] = p[2] = 0;  // no colour to give it
        }
    }
    return rowBuffer_.data();
}

void PaletteReducer::Reduce(const DibView& src, bool dither, uint8_t* out, ptrdiff_t outStride) {
    if (dither)
        ReduceDithered(src, out, outStride);
    else
        ReducePlain(src, out, outStride);
}

void PaletteReducer::ReducePlain(const DibView& src, uint8_t* out, ptrdiff_t outStride) {
    for (int y = 0; y < src.height; ++y) {
        const uint8_t* p = RowColours(src, y);
        uint8_t* dst = out + outStride * static_cast<ptrdiff_t>(y);
        for (int x = 0; x < src.width; ++x, p += 3) dst[x] = Nearest(p[2], p[1], p[0]);
    }
}

void PaletteReducer::ReduceDithered(const DibView& src, uint8_t* out, ptrdiff_t outStride) {
    // Floyd-Steinberg in sixteenths: 7 to the right, 3 below left, 5 below, 1 below right.
    // errThis_ holds what the row above left for each pixel of this row, errNext_ what this
    // row leaves for the next (three channels a pixel). The share to the right travels in
    // `carry`, and a pixel of the next row is written once, when its last share is known.
    const size_t channels = static_cast<size_t>(src.width) * 3;
    errThis_.assign(channels, 0);
    errNext_.assign(channels, 0);
    for (int y = 0; y < src.height; ++y) {
        const uint8_t* p = RowColours(src, y);
        uint8_t* dst = out + outStride * static_cast<ptrdiff_t>(y);
        const int* above = errThis_.data();
        int* next = errNext_.data();
        int carryR = 0, carryG = 0, carryB = 0;  // 7/16 share of the pixel to the left
        int leftR = 0, leftG = 0, leftB = 0;     // error of the pixel to the left
        int left2R = 0, left2G = 0, left2B = 0;  // and of the one before it
        for (int x = 0; x < src.width; ++x, p += 3, above += 3) {
            const int r = Clamp255(p[2] + Sixteenths(above[0] + carryR));
            const int g = Clamp255(p[1] + Sixteenths(above[1] + carryG));
            const int b = Clamp255(p[0] + Sixteenths(above[2] + carryB));
            const uint8_t idx = Nearest(r, g, b);
            dst[x] = idx;
            const int er = r - red_[idx];
            const int eg = g - green_[idx];
            const int eb = b - blue_[idx];
            if (x > 0) {
                next[0] = er * 3 + leftR * 5 + left2R;
                next[1] = eg * 3 + leftG * 5 + left2G;
                next[2] = eb * 3 + leftB * 5 + left2B;
                next += 3;
            }
            left2R = leftR;
            left2G = leftG;
            left2B = leftB;
            leftR = er;
            leftG = eg;
            leftB = eb;
            carryR = er * 7;
            carryG = eg * 7;
            carryB = eb * 7;
        }
        next[0] = leftR * 5 + left2R;
        next[1] = leftG * 5 + left2G;
        next[2] = leftB * 5 + left2B;
        errThis_.swap(errNext_);
    }
}

}  // namespace pixels
