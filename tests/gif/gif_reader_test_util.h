// Helpers of the GIF frame reader's tests (native and Windows): bytes placed right before a
// page that may not be touched, so that reading one byte past the end faults; a few GIF
// files; and the reference frames that tests/gif/gif_reader_reference.py
// writes from GIFs made by ImageMagick and gifsicle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/gif/gif_file_builder.h"

namespace readertest {

// A copy of some bytes that ends exactly where an inaccessible page begins.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::vector<uint8_t>& bytes);
    ~GuardedBytes();
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void* block_ = nullptr;
    size_t blockBytes_ = 0;
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// Palette used by the hand-made files: 0 red, 1 green, 2 blue, 3 white, 4 black, 5 yellow.
std::vector<giftest::Rgb> TestPalette();
std::vector<uint8_t> Solid(int w, int h, uint8_t index);

// Three full-screen frames of 8 x 6, colours 0, 1, 2 with delays 10, 20, 30.
std::vector<uint8_t> ThreeFrameGif();
// A still GIF of 8 x 6.
std::vector<uint8_t> OneFrameGif();

// One file of the reference set: the composed frames with alpha 255 for a frame's colour,
// 1 for canvas no frame has painted and 2 for the background of disposal 2.
struct ReferenceGif {
    std::string name;
    std::string gifPath;
    int width = 0;
    int height = 0;
    std::vector<int> delays;
    std::vector<std::vector<uint8_t>> frames;  // RGBA, rows top first
};
// Reads manifest.txt and the pictures of the folder; empty when the folder has none.
std::vector<ReferenceGif> LoadReferenceGifs(const std::string& folder);
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace readertest
