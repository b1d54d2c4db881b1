#include "tests/capture/gif_pipeline_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gif/gd.h"

namespace pipeline_test {

std::vector<uint8_t> MakeRgb(int w, int h, const std::function<Rgb(int, int)>& colour) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = colour(x, y);
            uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
        }
    return rgb;
}

std::vector<uint8_t> MakeDib(int w, int h, const std::function<Rgb(int, int)>& colour) {
    const std::vector<uint8_t> rgb = MakeRgb(w, h, colour);
    return gifpipeline::PackRgbAsDib(rgb.data(), w, h, static_cast<size_t>(w) * 3);
}

std::vector<uint8_t> Encode(const std::vector<std::vector<uint8_t>>& dibs,
                            const std::vector<int>& delays, bool dither, int playCount) {
    std::vector<gifpipeline::PipelineFrame> frames;
    for (size_t i = 0; i < dibs.size(); ++i)
        frames.push_back(gifpipeline::PipelineFrame{dibs[i].data(), delays.at(i)});
    gifpipeline::PipelineOptions options;
    options.dither = dither;
    options.playCount = playCount;
    std::vector<uint8_t> out;
    EXPECT_EQ(gifpipeline::PipelineResult::Written,
              gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), options, out));
    return out;
}

Recording MovingSquare() {
    // Square position per frame; a negative entry is the position before it with one pixel
    // changed at (-p, 40).
    static const int kPlaces[] = {0, 0, 0, 3, 6, 6, -7, 9, 12, 12, 12, 12, 15, 3, 3, 18, -20, -21,
                                  24, 27, 30, 30, 33, 36, 39, 0, 42, 42, 45, 48, 48, 51, -52, 54, 54, 54};
    Recording recording;
    int place = 0;
    for (size_t f = 0; f < sizeof kPlaces / sizeof kPlaces[0]; ++f) {
        const int marked = kPlaces[f] < 0 ? -kPlaces[f] : -1;
        if (kPlaces[f] >= 0) place = kPlaces[f];
        recording.dibs.push_back(MakeDib(64, 48, [=](int x, int y) {
            if (x == marked && y == 40) return Rgb{255, 0, 255};
            if (x >= place && x < place + 10 && y >= 8 && y < 18) return Rgb{255, 255, 255};
            return Rgb{static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 5),
                       static_cast<uint8_t>(x * 2 + y * 2)};
        }));
        recording.delays.push_back(2 + static_cast<int>(f % 5));
    }
    return recording;
}

WalkedGif Walk(const std::vector<uint8_t>& file) {
    WalkedGif walked;
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    walked.screen = walker.Screen();
    gifcodec::GifFrameBlock frame;
    while (walker.Next(&frame)) walked.frames.push_back(frame);
    walked.ok = walker.HeaderValid() && walker.State() == gifcodec::GifWalkState::Trailer;
    return walked;
}

std::vector<std::vector<Rgb>> Compose(const std::vector<uint8_t>& file) {
    std::vector<std::vector<Rgb>> pictures;
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    if (!walker.HeaderValid()) return pictures;
    const int w = walker.Screen().width, h = walker.Screen().height;
    std::vector<Rgb> canvas(static_cast<size_t>(w) * h, Rgb{0, 0, 0});
    gifcodec::GifFrameBlock f;
    while (walker.Next(&f)) {
        // One frame at a time: the header, this image and a trailer.
        std::vector<uint8_t> single(file.begin(), file.begin() + static_cast<ptrdiff_t>(walker.Screen().headerBytes));
        single.insert(single.end(), file.begin() + static_cast<ptrdiff_t>(f.begin),
                      file.begin() + static_cast<ptrdiff_t>(f.end));
        single.push_back(0x3B);
        gdImageOwner part(gdImageCreateFromGifPtr(static_cast<int>(single.size()), single.data()));
        if (!part) return {};
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const int i = gdImagePalettePixel(part.get(), x, y);
                canvas[static_cast<size_t>(f.top + y) * w + f.left + x] =
                    Rgb{static_cast<uint8_t>(part->red[i]), static_cast<uint8_t>(part->green[i]),
                        static_cast<uint8_t>(part->blue[i])};
            }
        pictures.push_back(canvas);
    }
    return pictures;
}

bool DecodeWithPil(const std::string& gifPath, std::vector<int>& delays,
                   std::vector<std::vector<Rgb>>& pictures, int width, int height) {
#ifdef _WIN32
    (void)gifPath, (void)delays, (void)pictures, (void)width, (void)height;
    return false;
#else
    if (std::system("/usr/bin/python3 -c 'import PIL.Image' >/dev/null 2>&1") != 0) return false;
    const std::string raw = gifPath + ".rgb";
    const std::string script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "out = open(sys.argv[2], 'wb')\n"
        "durations = []\n"
        "for i in range(im.n_frames):\n"
        "    im.seek(i)\n"
        "    durations.append(im.info.get('duration', 0))\n"
        "    out.write(im.convert('RGB').tobytes())\n"
        "print(' '.join(str(d) for d in durations))\n";
    const std::string command = "/usr/bin/python3 -c \"" + script + "\" '" + gifPath + "' '" + raw + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    if (pclose(pipe) != 0) return false;
    delays.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t used = 0;
        try {
            const int ms = std::stoi(text.substr(pos), &used);
            delays.push_back(ms / 10);
        } catch (...) {
            break;
        }
        pos += used;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\n')) ++pos;
    }
    std::ifstream in(raw, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(raw.c_str());
    const size_t frameBytes = static_cast<size_t>(width) * height * 3;
    pictures.clear();
    for (size_t off = 0; off + frameBytes <= bytes.size(); off += frameBytes) {
        std::vector<Rgb> picture(static_cast<size_t>(width) * height);
        for (size_t i = 0; i < picture.size(); ++i)
            picture[i] = Rgb{bytes[off + 3 * i], bytes[off + 3 * i + 1], bytes[off + 3 * i + 2]};
        pictures.push_back(std::move(picture));
    }
    return true;
#endif
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace pipeline_test
