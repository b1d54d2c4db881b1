// Colour reduction to a given colour table, with optional Floyd-Steinberg error diffusion.
#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

#include "image/pixel_ops.h"

namespace pixels {
namespace {

// Nearest-entry search over the table sorted by green: the walk outward from the pixel's
// green value stops once the green difference alone exceeds the best distance. Gives exactly
// the linear search's answer, the lowest index among equal distances included.
class SortedSearch {
public:
    SortedSearch(const RGBQUAD* table, unsigned count) {
        entries_.reserve(count);
        for (unsigned i = 0; i < count; ++i)
            entries_.push_back(Entry{table[i].rgbGreen, table[i].rgbRed, table[i].rgbBlue, i});
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.g < b.g; });
    }
    unsigned Find(int r, int g, int b) const {
        if (entries_.empty()) return 0;
        const auto start = std::lower_bound(entries_.begin(), entries_.end(), g,
                                            [](const Entry& e, int v) { return e.g < v; });
        long bestDist = -1;
        unsigned best = 0;
        auto consider = [&](const Entry& e) {
            const long dr = r - e.r, dg = g - e.g, db = b - e.b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist || (d == bestDist && e.index < best)) {
                bestDist = d;
                best = e.index;
            }
        };
        // Upward from the first entry with green >= g, then downward below it.
        for (auto it = start; it != entries_.end(); ++it) {
            const long dg = it->g - g;
            if (bestDist >= 0 && dg * dg > bestDist) break;
            consider(*it);
        }
        for (auto it = start; it != entries_.begin();) {
            --it;
            const long dg = g - it->g;
            if (bestDist >= 0 && dg * dg > bestDist) break;
            consider(*it);
        }
        return best;
    }

private:
    struct Entry {
        int g, r, b;
        unsigned index;
    };
    std::vector<Entry> entries_;
};

// Remembers the nearest entry of colours already seen; exact keys only, so it never changes
// a result. Frames repeat few colours, so this spares most searches.
class NearestCache {
public:
    NearestCache(const RGBQUAD* table, unsigned count) : search_(table, count) {
        slots_.fill(Slot{0, 0});
    }
    BYTE Find(int r, int g, int b) {
        const uint32_t key = (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                             static_cast<uint32_t>(b) | 0x1000000u;
        Slot& s = slots_[(key * 2654435761u) >> 20];
        if (s.key != key) {
            s.key = key;
            s.index = static_cast<BYTE>(search_.Find(r, g, b));
        }
        return s.index;
    }

private:
    struct Slot {
        uint32_t key;
        BYTE index;
    };
    SortedSearch search_;
    std::array<Slot, 4096> slots_;
};

int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Accumulated error (in sixteenths) rounded to whole units, half away from zero.
int Sixteenths(int e) { return e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16); }

}  // namespace

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
    const unsigned count = (important == 0 || important > 256) ? 256 : important;
    result.Header()->biClrImportant = (important == 0 || important > 256) ? 0 : important;
    NearestCache cache(pal, count);

    if (!dither) {
        for (long y = 0; y < h; ++y) {
            BYTE* row = result.Row(y);
            for (long x = 0; x < w; ++x) {
                const RGBQUAD c = src.PixelColor(x, y);
                row[x] = cache.Find(c.rgbRed, c.rgbGreen, c.rgbBlue);
            }
        }
        out = std::move(result);
        return true;
    }

    // Error rows in sixteenths, one pixel of margin on each side; rows top to bottom.
    const size_t span = static_cast<size_t>(w + 2) * 3;
    std::vector<int> errThis(span, 0), errNext(span, 0);
    for (long y = h - 1; y >= 0; --y) {
        BYTE* row = result.Row(y);
        std::fill(errNext.begin(), errNext.end(), 0);
        for (long x = 0; x < w; ++x) {
            const RGBQUAD c = src.PixelColor(x, y);
            int* e = &errThis[static_cast<size_t>(x + 1) * 3];
            const int r = Clamp255(c.rgbRed + Sixteenths(e[0]));
            const int g = Clamp255(c.rgbGreen + Sixteenths(e[1]));
            const int b = Clamp255(c.rgbBlue + Sixteenths(e[2]));
            const BYTE idx = cache.Find(r, g, b);
            row[x] = idx;
            const int er = r - pal[idx].rgbRed;
            const int eg = g - pal[idx].rgbGreen;
            const int eb = b - pal[idx].rgbBlue;
            const int err[3] = {er, eg, eb};
            for (int k = 0; k < 3; ++k) {
                e[3 + k] += err[k] * 7;                                          // right
                errNext[static_cast<size_t>(x) * 3 + k] += err[k] * 3;           // below left
                errNext[static_cast<size_t>(x + 1) * 3 + k] += err[k] * 5;       // below
                errNext[static_cast<size_t>(x + 2) * 3 + k] += err[k];           // below right
            }
        }
        std::swap(errThis, errNext);
    }
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
