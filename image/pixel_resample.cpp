// Picture scaling: separable bicubic convolution with repeated edges, or area averaging for
// directions that shrink.
#include <algorithm>
#include <cmath>

#include "image/pixel_ops.h"

namespace pixels {
namespace {

// Source taps and weights of one output sample.
struct Taps {
    long first = 0;
    std::vector<float> weights;
};

float CubicKernel(float t) {
    const float a = -0.5f;
    t = std::fabs(t);
    if (t <= 1.0f) return ((a + 2.0f) * t - (a + 3.0f)) * t * t + 1.0f;
    if (t < 2.0f) return ((a * t - 5.0f * a) * t + 8.0f * a) * t - 4.0f * a;
    return 0.0f;
}

// Weights for every output index; taps outside the source are folded onto the edge pixel
// (edges repeat), and each weight list sums to 1 so a flat area stays flat.
std::vector<Taps> BuildTaps(long srcLen, long dstLen, bool average) {
    std::vector<Taps> taps(static_cast<size_t>(dstLen));
    const double scale = static_cast<double>(srcLen) / dstLen;
    for (long i = 0; i < dstLen; ++i) {
        Taps& t = taps[static_cast<size_t>(i)];
        if (average && scale > 1.0) {
            const double from = i * scale;
            const double to = from + scale;
            long first = static_cast<long>(std::floor(from));
            long last = std::min(srcLen - 1, static_cast<long>(std::ceil(to)) - 1);
            t.first = first;
            for (long s = first; s <= last; ++s) {
                const double overlap = std::min<double>(to, s + 1) - std::max<double>(from, s);
                t.weights.push_back(static_cast<float>(std::max(0.0, overlap)));
            }
        } else {
            const double centre = (i + 0.5) * scale - 0.5;
            const long base = static_cast<long>(std::floor(centre));
            const float frac = static_cast<float>(centre - base);
            long lo = std::max(0L, base - 1);
            long hi = std::min(srcLen - 1, base + 2);
            if (lo > hi) lo = hi = (base < 0 ? 0 : srcLen - 1);
            t.first = lo;
            t.weights.assign(static_cast<size_t>(hi - lo + 1), 0.0f);
            for (long k = -1; k <= 2; ++k) {
                const long s = std::clamp(base + k, 0L, srcLen - 1);
                t.weights[static_cast<size_t>(s - lo)] += CubicKernel(static_cast<float>(k) - frac);
            }
        }
        float sum = 0.0f;
        for (float w : t.weights) sum += w;
        if (sum != 0.0f)
            for (float& w : t.weights) w /= sum;
    }
    return taps;
}

BYTE ToByte(float v) {
    const long r = std::lround(v);
    return static_cast<BYTE>(std::clamp(r, 0L, 255L));
}

}  // namespace

bool ConvertTo24(const PackedDib& src, PackedDib& out) {
    if (!src.IsValid()) return false;
    PackedDib result;
    if (!result.Create(src.Width(), src.Height(), 24)) return false;
    for (long y = 0; y < src.Height(); ++y) {
        BYTE* row = result.Row(y);
        for (long x = 0; x < src.Width(); ++x) {
            const RGBQUAD c = src.PixelColor(x, y);
            row[x * 3] = c.rgbBlue;
            row[x * 3 + 1] = c.rgbGreen;
            row[x * 3 + 2] = c.rgbRed;
        }
    }
    out = std::move(result);
    return true;
}

bool ResampleBicubic(const PackedDib& src, long width, long height, bool allowAveraging,
                     PackedDib& out) {
    if (!src.IsValid()) return false;
    width = std::max(1L, width);
    height = std::max(1L, height);
    if (!PackedDib::SizeAllowed(width, height)) return false;

    PackedDib source;
    const PackedDib* in = &src;
    if (src.BitsPerPixel() != 24) {
        if (!ConvertTo24(src, source)) return false;
        in = &source;
    }
    const long sw = in->Width();
    const long sh = in->Height();
    PackedDib result;
    if (!result.Create(width, height, 24)) return false;

    const std::vector<Taps> xTaps = BuildTaps(sw, width, allowAveraging);
    const std::vector<Taps> yTaps = BuildTaps(sh, height, allowAveraging);

    // Horizontal pass into floats: sh rows of width pixels.
    std::vector<float> mid(static_cast<size_t>(sh) * static_cast<size_t>(width) * 3);
    for (long y = 0; y < sh; ++y) {
        const BYTE* row = in->Row(y);
        float* dst = &mid[static_cast<size_t>(y) * static_cast<size_t>(width) * 3];
        for (long x = 0; x < width; ++x) {
            const Taps& t = xTaps[static_cast<size_t>(x)];
            float b = 0, g = 0, r = 0;
            for (size_t k = 0; k < t.weights.size(); ++k) {
                const BYTE* p = row + (t.first + static_cast<long>(k)) * 3;
                b += p[0] * t.weights[k];
                g += p[1] * t.weights[k];
                r += p[2] * t.weights[k];
            }
            dst[x * 3] = b;
            dst[x * 3 + 1] = g;
            dst[x * 3 + 2] = r;
        }
    }
    // Vertical pass.
    const size_t midStride = static_cast<size_t>(width) * 3;
    for (long y = 0; y < height; ++y) {
        const Taps& t = yTaps[static_cast<size_t>(y)];
        BYTE* row = result.Row(y);
        for (size_t c = 0; c < midStride; ++c) {
            float v = 0;
            for (size_t k = 0; k < t.weights.size(); ++k)
                v += mid[(static_cast<size_t>(t.first) + k) * midStride + c] * t.weights[k];
            row[c] = ToByte(v);
        }
    }
    out = std::move(result);
    return true;
}

}  // namespace pixels
