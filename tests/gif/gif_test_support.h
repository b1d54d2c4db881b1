// Helpers for the GIF codec tests: pictures to encode, hand-made GIF files (also malformed
// ones), and the animation calls chained into one file.
#pragma once

#include <cstdint>
#include <vector>

#include "gif/gd.h"
#include "tests/gif/gif_file_builder.h"

namespace giftest {

// A palette image made from pixels and a palette; fails the test on NULL.
gdImageOwner MakeImage(int w, int h, const std::vector<uint8_t>& pixels, const std::vector<Rgb>& palette);

// The colour every pixel shows.
std::vector<Rgb> PixelColours(const gdImage& im);

// Begin + one Add per frame (each against the previous when diff is set) + End.
std::vector<uint8_t> EncodeAnimation(const std::vector<gdImagePtr>& frames, const std::vector<int>& delays,
                                     int loops, bool diff);
std::vector<uint8_t> EncodeSingle(gdImagePtr im);

gdImageOwner Decode(const std::vector<uint8_t>& file);

}  // namespace giftest
