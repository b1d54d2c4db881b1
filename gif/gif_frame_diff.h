// The rectangle of a frame that changed since the previous one.
#pragma once

#include "gif/gd.h"

namespace gifcodec {

struct GifRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Smallest rectangle holding every pixel whose colour (or transparency) differs between the
// two images, which must have the same size. False when nothing differs.
bool FindChangedRect(const gdImage& current, const gdImage& previous, GifRect* rect);

}  // namespace gifcodec
