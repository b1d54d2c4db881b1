// What each palette index shows, as one comparable number: 0xRRGGBB (black past colorsTotal),
// or a value no colour has for the transparent index. Pixels of two images look alike when
// their keys are equal.
#pragma once

#include <cstdint>

#include "gif/gd.h"

namespace gifcodec {

constexpr uint32_t kTransparentKey = 0x01000000u;

inline uint32_t RgbKey(const gdImage& im, int i) {
    if (i < 0 || i >= im.colorsTotal || i >= gdMaxColors) return 0;
    return (static_cast<uint32_t>(im.red[i] & 0xFF) << 16) | (static_cast<uint32_t>(im.green[i] & 0xFF) << 8) |
           static_cast<uint32_t>(im.blue[i] & 0xFF);
}

inline void PaletteKeys(const gdImage& im, uint32_t keys[gdMaxColors]) {
    for (int i = 0; i < gdMaxColors; ++i) keys[i] = RgbKey(im, i);
    if (im.transparent >= 0 && im.transparent < gdMaxColors) keys[im.transparent] = kTransparentKey;
}

// True when both palettes (with their transparency) are the same.
inline bool SameKeys(const uint32_t a[gdMaxColors], const uint32_t b[gdMaxColors]) {
    for (int i = 0; i < gdMaxColors; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace gifcodec
