#include "tests/gif/gif_test_support.h"

#include <gtest/gtest.h>

namespace giftest {

gdImageOwner MakeImage(int w, int h, const std::vector<uint8_t>& pixels, const std::vector<Rgb>& palette) {
    std::vector<uint8_t> rgb;
    for (const Rgb& c : palette) {
        rgb.push_back(c.r);
        rgb.push_back(c.g);
        rgb.push_back(c.b);
    }
    gdImageOwner im(gdImageCreateFromIndexed(w, h, pixels.data(), static_cast<size_t>(w),
                                             reinterpret_cast<const uint8_t(*)[3]>(rgb.data()),
                                             static_cast<int>(palette.size())));
    EXPECT_NE(im, nullptr);
    return im;
}

std::vector<Rgb> PixelColours(const gdImage& im) {
    std::vector<Rgb> out;
    out.reserve(im.pixels.size());
    for (uint8_t p : im.pixels) {
        out.push_back(Rgb{static_cast<uint8_t>(im.red[p]), static_cast<uint8_t>(im.green[p]),
                          static_cast<uint8_t>(im.blue[p])});
    }
    return out;
}

namespace {

void Append(std::vector<uint8_t>& file, void* block, int size) {
    gdBlockOwner owner(block);
    EXPECT_NE(block, nullptr);
    EXPECT_GT(size, 0);
    if (!block || size <= 0) return;
    const uint8_t* p = static_cast<const uint8_t*>(block);
    file.insert(file.end(), p, p + size);
}

}  // namespace

std::vector<uint8_t> EncodeAnimation(const std::vector<gdImagePtr>& frames, const std::vector<int>& delays,
                                     int loops, bool diff) {
    std::vector<uint8_t> file;
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(frames.at(0), &size, 1, loops);
    Append(file, block, size);
    for (size_t i = 0; i < frames.size(); ++i) {
        gdImagePtr prev = (diff && i > 0) ? frames[i - 1] : nullptr;
        block = gdImageGifAnimAddPtr(frames[i], &size, 0, 0, 0, delays.at(i), gdDisposalNone, prev);
        Append(file, block, size);
    }
    block = gdImageGifAnimEndPtr(&size);
    Append(file, block, size);
    return file;
}

std::vector<uint8_t> EncodeSingle(gdImagePtr im) { return EncodeAnimation({im}, {0}, 0, false); }

gdImageOwner Decode(const std::vector<uint8_t>& file) {
    return gdImageOwner(gdImageCreateFromGifPtr(static_cast<int>(file.size()), const_cast<uint8_t*>(file.data())));
}

}  // namespace giftest
