#include "gif/gif_frame_diff.h"

#include <cstring>

#include "gif/gd_colour_keys.h"

namespace gifcodec {
namespace {

// Pixel equality by colour key. When both palettes are the same, equal indexes settle it
// quickly; unequal ones may still show one colour (a palette can hold a colour twice).
class PixelMatch {
public:
    PixelMatch(const gdImage& a, const gdImage& b) {
        PaletteKeys(a, keysA_);
        PaletteKeys(b, keysB_);
        samePalette_ = SameKeys(keysA_, keysB_);
    }

    bool RowsEqual(const unsigned char* a, const unsigned char* b, int n) const {
        if (samePalette_ && std::memcmp(a, b, static_cast<size_t>(n)) == 0) return true;
        for (int i = 0; i < n; ++i) {
            if (keysA_[a[i]] != keysB_[b[i]]) return false;
        }
        return true;
    }

    bool Equal(unsigned char a, unsigned char b) const {
        return (samePalette_ && a == b) || keysA_[a] == keysB_[b];
    }

private:
    uint32_t keysA_[gdMaxColors];
    uint32_t keysB_[gdMaxColors];
    bool samePalette_ = true;
};

}  // namespace

bool FindChangedRect(const gdImage& current, const gdImage& previous, GifRect* rect) {
    const int w = current.sx;
    const int h = current.sy;
    const PixelMatch match(current, previous);
    auto rowA = [&](int y) { return current.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w); };
    auto rowB = [&](int y) { return previous.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(w); };

    int top = 0;
    while (top < h && match.RowsEqual(rowA(top), rowB(top), w)) ++top;
    if (top == h) return false;
    int bottom = h - 1;
    while (bottom > top && match.RowsEqual(rowA(bottom), rowB(bottom), w)) --bottom;

    // Columns: each row only needs scanning up to the edges found so far.
    int left = w;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const unsigned char* a = rowA(y);
        const unsigned char* b = rowB(y);
        int x = 0;
        while (x < left && match.Equal(a[x], b[x])) ++x;
        if (x < left) left = x;
        int r = w - 1;
        while (r > right && match.Equal(a[r], b[r])) --r;
        if (r > right) right = r;
    }
    rect->x = left;
    rect->y = top;
    rect->width = right - left + 1;
    rect->height = bottom - top + 1;
    return true;
}

}  // namespace gifcodec
