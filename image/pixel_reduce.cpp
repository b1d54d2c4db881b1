// Colour reduction: the nearest entry of a table, a picture reduced to a given table (by the
// palette reducer the GIF writer uses too), and a table for writing a picture.
#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "image/palette_reducer.h"
#include "image/pixel_ops.h"

namespace pixels {

unsigned NearestPaletteIndex(const RGBQUAD* table, unsigned count, int r, int g, int b) {
    unsigned best = 0;
    long bestDist = -1;
    for (unsigned i = 0; i < count; ++i) {
        const long dr = r - table[i].rgbRed;
        const long dg = g - table[i].rgbGreen;
        const long db = b - table[i].rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {  // strict: the lowest index keeps a tie
            bestDist = d;
            best = i;
            if (d == 0) break;
        }
    }
    return best;
}

bool ReduceToPalette(const PackedDib& src, const RGBQUAD* table, unsigned important, bool dither,
                     PackedDib& out) {
    if (!src.IsValid() || table == nullptr) return false;
    const long w = src.Width();
    const long h = src.Height();
    PackedDib result;
    if (!result.Create(w, h, 8)) return false;
    RGBQUAD* pal = result.Palette();
    for (unsigned i = 0; i < 256; ++i) {
        pal[i] = table[i];
        pal[i].rgbReserved = 0;
    }
    const bool allEntries = important == 0 || important > 256;
    result.Header()->biClrImportant = allEntries ? 0 : important;
    PaletteReducer reducer(pal, allEntries ? 256 : important);
    // The reducer writes the top row first; the result's rows are stored bottom-up.
    reducer.Reduce(DibView::Of(src), dither, result.Row(h - 1),
                   -static_cast<ptrdiff_t>(result.Stride()));
    out = std::move(result);
    return true;
}

unsigned BuildPaletteFor(const PackedDib& src, RGBQUAD table[256], bool& exact) {
    for (unsigned i = 0; i < 256; ++i) table[i] = RGBQUAD{0, 0, 0, 0};
    exact = false;
    if (!src.IsValid()) return 0;
    std::unordered_map<uint32_t, unsigned> seen;
    unsigned n = 0;
    bool tooMany = false;
    for (long y = src.Height() - 1; y >= 0 && !tooMany; --y) {
        for (long x = 0; x < src.Width(); ++x) {
            const RGBQUAD c = src.PixelColor(x, y);
            const uint32_t key = (static_cast<uint32_t>(c.rgbRed) << 16) |
                                 (static_cast<uint32_t>(c.rgbGreen) << 8) | c.rgbBlue;
            if (seen.count(key)) continue;
            if (n == 256) {
                tooMany = true;
                break;
            }
            seen.emplace(key, n);
            table[n++] = RGBQUAD{c.rgbBlue, c.rgbGreen, c.rgbRed, 0};
        }
    }
    if (!tooMany) {
        exact = true;
        return n;
    }
    n = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                table[n++] = RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 255 / 6),
                                     static_cast<BYTE>(r * 51), 0};
    return n;
}

}  // namespace pixels
