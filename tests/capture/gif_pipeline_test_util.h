// Pictures and file readers for the GIF pipeline's tests (native and Windows).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gif/gif_frames.h"
#include "capture/gif_pipeline.h"

namespace pipeline_test {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A 24-bit packed DIB of w x h whose pixel (x, y) (y from the top) is colour(x, y).
std::vector<uint8_t> MakeDib(int w, int h, const std::function<Rgb(int, int)>& colour);
// The same as plain RGB, top row first.
std::vector<uint8_t> MakeRgb(int w, int h, const std::function<Rgb(int, int)>& colour);

// Runs the pipeline into memory; EXPECTs success.
std::vector<uint8_t> Encode(const std::vector<std::vector<uint8_t>>& dibs,
                            const std::vector<int>& delays, bool dither = true, int playCount = 0);

// A recording of 36 frames of 64 x 48 in true colour, more colours than a palette holds: a
// gradient under a square that moves, stops for runs of identical frames, returns to earlier
// places and changes single pixels. delays[i] is 2 + i % 5.
struct Recording {
    std::vector<std::vector<uint8_t>> dibs;
    std::vector<int> delays;
};
Recording MovingSquare();

// The images of a GIF file as its block walker sees them; ok when it ends at the trailer.
struct WalkedGif {
    gifcodec::GifScreenInfo screen;
    std::vector<gifcodec::GifFrameBlock> frames;
    bool ok = false;
};
WalkedGif Walk(const std::vector<uint8_t>& file);

// Every frame of the file composed over the previous ones (disposal 1), as RGB top row first,
// decoded with our own decoder.
std::vector<std::vector<Rgb>> Compose(const std::vector<uint8_t>& file);

// Decodes the file with Python's imaging library, when present: frame count, the delays in
// hundredths and the composed RGB pictures. False when the library is not available.
bool DecodeWithPil(const std::string& gifPath, std::vector<int>& delays,
                   std::vector<std::vector<Rgb>>& pictures, int width, int height);

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::string TempPath(const std::string& name);

}  // namespace pipeline_test
