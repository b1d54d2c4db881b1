// Copying one picture into another, and the painting steps of text drawing.
#include <algorithm>
#include <cmath>

#include "image/pixel_ops.h"

namespace pixels {
namespace {

void SetPixel24(BYTE* p, RGBQUAD c) {
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
}

// alpha in 0..255: share of colour c in the result.
void BlendPixel24(BYTE* p, RGBQUAD c, int alpha) {
    const int keep = 255 - alpha;
    p[0] = static_cast<BYTE>((p[0] * keep + c.rgbBlue * alpha + 127) / 255);
    p[1] = static_cast<BYTE>((p[1] * keep + c.rgbGreen * alpha + 127) / 255);
    p[2] = static_cast<BYTE>((p[2] * keep + c.rgbRed * alpha + 127) / 255);
}

// True when the pixel centre lies outside the rounded corner of the box.
bool OutsideCorner(const PixelRect& box, long radius, long x, long y) {
    if (radius <= 0) return false;
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    double dx = 0, dy = 0;
    if (cx < box.left + radius) dx = box.left + radius - cx;
    else if (cx > box.right - radius) dx = cx - (box.right - radius);
    if (cy < box.top + radius) dy = box.top + radius - cy;
    else if (cy > box.bottom - radius) dy = cy - (box.bottom - radius);
    return dx > 0 && dy > 0 && dx * dx + dy * dy > static_cast<double>(radius) * radius;
}

}  // namespace

bool MixCopy(PackedDib& dst, const PackedDib& src, long xOffset, long yOffset) {
    if (!dst.IsValid() || !src.IsValid() || dst.BitsPerPixel() != 24) return false;
    const long x0 = std::max(0L, -xOffset);
    const long x1 = std::min(dst.Width(), src.Width() - xOffset);
    const long y0 = std::max(0L, -yOffset);
    const long y1 = std::min(dst.Height(), src.Height() - yOffset);
    for (long y = y0; y < y1; ++y) {
        BYTE* row = dst.Row(y);
        for (long x = x0; x < x1; ++x) SetPixel24(row + x * 3, src.PixelColor(x + xOffset, y + yOffset));
    }
    return true;
}

bool FillBox(PackedDib& dst, PixelRect box, RGBQUAD colour, float transparency, long cornerRadius) {
    if (!dst.IsValid() || dst.BitsPerPixel() != 24) return false;
    const float t = std::clamp(transparency, 0.0f, 1.0f);
    const int alpha = static_cast<int>(std::lround((1.0f - t) * 255.0f));
    const long radius = std::min(cornerRadius, std::min(box.right - box.left, box.bottom - box.top) / 2);
    const long h = dst.Height();
    const long left = std::max(0L, box.left);
    const long right = std::min(dst.Width(), box.right);
    const long top = std::max(0L, box.top);
    const long bottom = std::min(h, box.bottom);
    for (long y = top; y < bottom; ++y) {
        BYTE* row = dst.Row(h - 1 - y);
        for (long x = left; x < right; ++x) {
            if (OutsideCorner(box, radius, x, y)) continue;
            if (alpha >= 255) SetPixel24(row + x * 3, colour);
            else if (alpha > 0) BlendPixel24(row + x * 3, colour, alpha);
        }
    }
    return true;
}

bool PaintCoverage(PackedDib& dst, long left, long top, const std::vector<BYTE>& mask,
                   long maskWidth, long maskHeight, RGBQUAD colour, bool hardEdges) {
    if (!dst.IsValid() || dst.BitsPerPixel() != 24) return false;
    if (maskWidth < 0 || maskHeight < 0 ||
        mask.size() < static_cast<size_t>(maskWidth) * static_cast<size_t>(maskHeight))
        return false;
    const long h = dst.Height();
    const long x0 = std::max(0L, left);
    const long x1 = std::min(dst.Width(), left + maskWidth);
    const long y0 = std::max(0L, top);
    const long y1 = std::min(h, top + maskHeight);
    for (long y = y0; y < y1; ++y) {
        BYTE* row = dst.Row(h - 1 - y);
        const BYTE* m = &mask[static_cast<size_t>(y - top) * static_cast<size_t>(maskWidth)];
        for (long x = x0; x < x1; ++x) {
            const int cover = m[x - left];
            if (hardEdges) {
                if (cover >= 128) SetPixel24(row + x * 3, colour);
            } else if (cover >= 255) {
                SetPixel24(row + x * 3, colour);
            } else if (cover > 0) {
                BlendPixel24(row + x * 3, colour, cover);
            }
        }
    }
    return true;
}

}  // namespace pixels
