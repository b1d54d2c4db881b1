// Palette image basics: creation, colours, palette copy and comparison.
#include <cstdlib>
#include <cstring>
#include <new>

#include "gif/gd.h"
#include "gif/gd_colour_keys.h"

namespace {

bool SizeAllowed(int sx, int sy) {
    return sx >= 1 && sy >= 1 && sx <= gdMaxImageSide && sy <= gdMaxImageSide &&
           static_cast<long long>(sx) * sy <= gdMaxImageArea;
}

}  // namespace

gdImagePtr gdImageCreate(int sx, int sy) {
    if (!SizeAllowed(sx, sy)) return nullptr;
    gdImagePtr im = new (std::nothrow) gdImage;
    if (!im) return nullptr;
    try {
        im->pixels.assign(static_cast<size_t>(sx) * static_cast<size_t>(sy), 0);
    } catch (const std::bad_alloc&) {
        delete im;
        return nullptr;
    }
    im->sx = sx;
    im->sy = sy;
    return im;
}

gdImagePtr gdImageCreateFromIndexed(int sx, int sy, const uint8_t* pixels, size_t stride,
                                    const uint8_t (*rgb)[3], int ncolors) {
    if (!pixels || stride < static_cast<size_t>(sx) || ncolors < 0 || ncolors > gdMaxColors ||
        (ncolors > 0 && !rgb)) {
        return nullptr;
    }
    gdImagePtr im = gdImageCreate(sx, sy);
    if (!im) return nullptr;
    for (int y = 0; y < sy; ++y) {
        std::memcpy(&im->pixels[static_cast<size_t>(y) * static_cast<size_t>(sx)],
                    pixels + static_cast<size_t>(y) * stride, static_cast<size_t>(sx));
    }
    for (int i = 0; i < ncolors; ++i) {
        im->red[i] = rgb[i][0];
        im->green[i] = rgb[i][1];
        im->blue[i] = rgb[i][2];
    }
    im->colorsTotal = ncolors;
    return im;
}

void gdImageDestroy(gdImagePtr im) { delete im; }

int gdImageColorAllocate(gdImagePtr im, int r, int g, int b) {
    if (!im || im->colorsTotal >= gdMaxColors) return -1;
    const int i = im->colorsTotal++;
    im->red[i] = r & 0xFF;
    im->green[i] = g & 0xFF;
    im->blue[i] = b & 0xFF;
    return i;
}

void gdImagePaletteCopy(gdImagePtr dst, gdImagePtr src) {
    if (!dst || !src || src->colorsTotal <= 0) return;

    // Only the indexes in use need a nearest colour.
    bool used[gdMaxColors] = {};
    for (unsigned char p : dst->pixels) used[p] = true;
    if (dst->transparent >= 0 && dst->transparent < gdMaxColors) used[dst->transparent] = true;

    unsigned char nearest[gdMaxColors] = {};
    for (int i = 0; i < gdMaxColors; ++i) {
        if (!used[i]) continue;
        const uint32_t from = gifcodec::RgbKey(*dst, i);
        long best = -1;
        for (int j = 0; j < src->colorsTotal; ++j) {
            const uint32_t to = gifcodec::RgbKey(*src, j);
            const long dr = static_cast<long>(from >> 16) - static_cast<long>(to >> 16);
            const long dg = static_cast<long>((from >> 8) & 0xFF) - static_cast<long>((to >> 8) & 0xFF);
            const long db = static_cast<long>(from & 0xFF) - static_cast<long>(to & 0xFF);
            const long d = dr * dr + dg * dg + db * db;
            if (best < 0 || d < best) {
                best = d;
                nearest[i] = static_cast<unsigned char>(j);
                if (d == 0) break;
            }
        }
    }
    for (unsigned char& p : dst->pixels) p = nearest[p];
    if (dst->transparent >= 0 && dst->transparent < gdMaxColors) dst->transparent = nearest[dst->transparent];

    dst->colorsTotal = src->colorsTotal;
    for (int i = 0; i < gdMaxColors; ++i) {
        const uint32_t c = gifcodec::RgbKey(*src, i);
        dst->red[i] = static_cast<int>(c >> 16);
        dst->green[i] = static_cast<int>((c >> 8) & 0xFF);
        dst->blue[i] = static_cast<int>(c & 0xFF);
    }
}

int gdImageCompare(gdImagePtr a, gdImagePtr b) {
    if (!a || !b) return GD_CMP_IMAGE | GD_CMP_SIZE_X | GD_CMP_SIZE_Y;
    int result = 0;
    if (a->sx != b->sx) result |= GD_CMP_SIZE_X | GD_CMP_IMAGE;
    if (a->sy != b->sy) result |= GD_CMP_SIZE_Y | GD_CMP_IMAGE;
    if (a->colorsTotal != b->colorsTotal) result |= GD_CMP_NUM_COLORS;
    const int common = a->colorsTotal < b->colorsTotal ? a->colorsTotal : b->colorsTotal;
    for (int i = 0; i < common; ++i) {
        if (gifcodec::RgbKey(*a, i) != gifcodec::RgbKey(*b, i)) {
            result |= GD_CMP_COLOR;
            break;
        }
    }
    const bool aTransparent = a->transparent >= 0 && a->transparent < gdMaxColors;
    const bool bTransparent = b->transparent >= 0 && b->transparent < gdMaxColors;
    if (aTransparent != bTransparent ||
        (aTransparent && gifcodec::RgbKey(*a, a->transparent) != gifcodec::RgbKey(*b, b->transparent))) {
        result |= GD_CMP_TRANSPARENT;
    }
    if (result & GD_CMP_IMAGE) return result;

    uint32_t keysA[gdMaxColors];
    uint32_t keysB[gdMaxColors];
    gifcodec::PaletteKeys(*a, keysA);
    gifcodec::PaletteKeys(*b, keysB);
    const size_t n = a->pixels.size();
    // Equal bytes under one palette are equal colours; otherwise look at the colours.
    if (gifcodec::SameKeys(keysA, keysB) && (n == 0 || std::memcmp(a->pixels.data(), b->pixels.data(), n) == 0)) {
        return result;
    }
    const unsigned char* pa = a->pixels.data();
    const unsigned char* pb = b->pixels.data();
    for (size_t i = 0; i < n; ++i) {
        if (keysA[pa[i]] != keysB[pb[i]]) {
            result |= GD_CMP_IMAGE;
            break;
        }
    }
    return result;
}

void gdFree(void* block) { std::free(block); }
