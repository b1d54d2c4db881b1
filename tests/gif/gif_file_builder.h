// Hand-made GIF files for the codec's tests and the fuzz seed corpus, including files no
// encoder would write. Plain C++; image data comes from our LZW encoder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace giftest {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Reproducible pseudo-random numbers (the tests must not depend on the platform's rand).
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t state_;
};

std::vector<Rgb> DistinctPalette(int n, uint32_t seed);
std::vector<uint8_t> RandomPixels(int w, int h, int colours, uint32_t seed);

// Codes of the given widths packed LSB first, as GIF image data needs them.
std::vector<uint8_t> PackCodes(const std::vector<std::pair<uint32_t, int>>& codes);
// Minimum code size byte, payload cut into sub-blocks of up to 255 bytes, terminator.
std::vector<uint8_t> ImageData(int minCodeSize, const std::vector<uint8_t>& payload);

// Writes GIF files block by block, including ones no encoder would make.
class GifFileBuilder {
public:
    // Header and logical screen; an empty palette means no global table. Tables are padded
    // with black up to a power of two.
    GifFileBuilder(int screenW, int screenH, const std::vector<Rgb>& globalTable, const char* version = "GIF89a");

    GifFileBuilder& Control(int disposal, int delay, int transparentIndex);
    GifFileBuilder& Comment(const std::string& text);
    GifFileBuilder& Loop(int count);
    GifFileBuilder& PlainText();
    // An image with LZW data made by our encoder (rows sent in pass order when interlaced).
    GifFileBuilder& Image(int left, int top, int w, int h, const std::vector<uint8_t>& pixels,
                          const std::vector<Rgb>& localTable = {}, bool interlaced = false, int minCodeSize = 8);
    // An image descriptor followed by the given image data bytes as they stand.
    GifFileBuilder& RawImage(int left, int top, int w, int h, uint8_t flags, const std::vector<uint8_t>& imageData);
    GifFileBuilder& Bytes(const std::vector<uint8_t>& raw);
    GifFileBuilder& Trailer();

    const std::vector<uint8_t>& Data() const { return bytes_; }

private:
    void PutTable(const std::vector<Rgb>& table);
    void Le16(int v);

    std::vector<uint8_t> bytes_;
};

// Size bits (N) of a table with at least n entries: 2^(N+1) >= n.
int TableSizeBits(size_t n);

}  // namespace giftest
