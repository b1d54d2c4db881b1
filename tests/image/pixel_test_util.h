// Small helpers for building and reading test pictures.
#pragma once

#include "image/packed_dib.h"

namespace testutil {

inline RGBQUAD Rgb(int r, int g, int b) {
    return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}

inline bool SameColour(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// 24-bit picture filled with one colour.
inline pixels::PackedDib Solid(long w, long h, RGBQUAD c) {
    pixels::PackedDib d;
    d.Create(w, h, 24);
    for (long y = 0; y < h; ++y)
        for (long x = 0; x < w; ++x) {
            BYTE* p = d.Row(y) + x * 3;
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
        }
    return d;
}

inline void Put(pixels::PackedDib& d, long x, long y, RGBQUAD c) {
    BYTE* p = d.Row(y) + x * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
}

}  // namespace testutil
