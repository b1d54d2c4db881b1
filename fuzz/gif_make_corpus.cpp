// Writes the seed corpus for the GIF fuzz targets into the given folder: small files made by
// our encoder and by the test file builder, each exercising one part of the format.
#include <cstdio>
#include <string>
#include <vector>

#include "gif/gd.h"
#include "tests/gif/gif_file_builder.h"

using giftest::GifFileBuilder;
using giftest::Rgb;

namespace {

bool Write(const std::string& dir, const char* name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

gdImageOwner Image(int w, int h, const std::vector<uint8_t>& px, const std::vector<Rgb>& palette) {
    std::vector<uint8_t> rgb;
    for (const Rgb& c : palette) rgb.insert(rgb.end(), {c.r, c.g, c.b});
    return gdImageOwner(gdImageCreateFromIndexed(w, h, px.data(), static_cast<size_t>(w),
                                                 reinterpret_cast<const uint8_t(*)[3]>(rgb.data()),
                                                 static_cast<int>(palette.size())));
}

std::vector<uint8_t> Animation(const std::vector<gdImagePtr>& frames, int loops) {
    std::vector<uint8_t> file;
    auto append = [&](void* block, int size) {
        gdBlockOwner owner(block);
        const uint8_t* p = static_cast<const uint8_t*>(block);
        if (p) file.insert(file.end(), p, p + size);
    };
    int size = 0;
    void* begin = gdImageGifAnimBeginPtr(frames[0], &size, 1, loops);
    append(begin, size);
    for (size_t i = 0; i < frames.size(); ++i) {
        void* block = gdImageGifAnimAddPtr(frames[i], &size, 0, 0, 0, 10, gdDisposalNone, i ? frames[i - 1] : nullptr);
        append(block, size);
    }
    void* end = gdImageGifAnimEndPtr(&size);
    append(end, size);
    return file;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<Rgb> four = {Rgb{0, 0, 0}, Rgb{255, 255, 255}, Rgb{255, 0, 0}, Rgb{0, 0, 255}};
    bool ok = true;

    gdImageOwner one = Image(1, 1, {1}, four);
    ok = ok && Write(dir, "single_pixel.gif", Animation({one.get()}, 0));

    std::vector<uint8_t> checker(16 * 16);
    for (int i = 0; i < 256; ++i) checker[static_cast<size_t>(i)] = static_cast<uint8_t>(((i % 16) / 4 + i / 64) % 2);
    gdImageOwner check = Image(16, 16, checker, four);
    ok = ok && Write(dir, "checker_two_colours.gif", Animation({check.get()}, -1));

    gdImageOwner noise = Image(40, 24, giftest::RandomPixels(40, 24, 256, 1), giftest::DistinctPalette(256, 2));
    ok = ok && Write(dir, "noise_256_colours.gif", Animation({noise.get()}, 0));

    const std::vector<Rgb> sixteen = giftest::DistinctPalette(16, 3);
    std::vector<uint8_t> px = giftest::RandomPixels(24, 16, 16, 4);
    gdImageOwner a = Image(24, 16, px, sixteen);
    for (int x = 5; x < 9; ++x) px[static_cast<size_t>(7) * 24 + x] = 3;
    gdImageOwner b = Image(24, 16, px, sixteen);
    gdImageOwner c = Image(24, 16, px, sixteen);
    ok = ok && Write(dir, "animation_diff_frames.gif", Animation({a.get(), b.get(), c.get(), a.get()}, 3));

    ok = ok && Write(dir, "interlaced_code_size_2.gif",
                     GifFileBuilder(13, 11, four).Image(0, 0, 13, 11, giftest::RandomPixels(13, 11, 4, 5), {}, true, 2).Trailer().Data());

    ok = ok && Write(dir, "local_table_transparent.gif",
                     GifFileBuilder(10, 6, four)
                         .Control(2, 7, 5)
                         .Image(0, 0, 10, 6, giftest::RandomPixels(10, 6, 8, 6), giftest::DistinctPalette(8, 7), false, 3)
                         .Trailer()
                         .Data());

    ok = ok && Write(dir, "gif87a_extensions.gif",
                     GifFileBuilder(8, 8, four, "GIF87a")
                         .Comment("seed")
                         .Loop(0)
                         .PlainText()
                         .Control(1, 4, -1)
                         .Comment("between")
                         .Image(0, 0, 8, 8, giftest::RandomPixels(8, 8, 4, 8), {}, false, 2)
                         .Trailer()
                         .Data());

    // 12-bit codes after the table is full, without a clear code.
    std::vector<std::pair<uint32_t, int>> codes = {{4, 3}};
    uint32_t next = 6;
    int bits = 3;
    int pixels = 0;
    for (bool first = true; next < 4096; first = false) {
        codes.push_back({static_cast<uint32_t>(pixels % 3), bits});
        ++pixels;
        if (!first && ++next == (1u << bits) && bits < 12) ++bits;
    }
    codes.push_back({4095, 12});
    pixels += 2;
    codes.push_back({5, 12});
    ok = ok && Write(dir, "full_table_no_clear.gif",
                     GifFileBuilder(pixels, 1, four).RawImage(0, 0, pixels, 1, 0x00, giftest::ImageData(2, giftest::PackCodes(codes))).Trailer().Data());

    ok = ok && Write(dir, "frames_at_offsets.gif",
                     GifFileBuilder(30, 20, four)
                         .Control(3, 5, -1)
                         .Image(4, 3, 6, 5, giftest::RandomPixels(6, 5, 4, 9), {}, false, 2)
                         .Control(2, 5, 0)
                         .Image(20, 10, 9, 9, giftest::RandomPixels(9, 9, 4, 10), giftest::DistinctPalette(4, 11), true, 2)
                         .Trailer()
                         .Data());

    if (!ok) {
        std::fprintf(stderr, "could not write the corpus into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
