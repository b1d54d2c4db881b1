// Our encoder and decoder against independent ones on the build host: Pillow decodes what
// we write, gifsicle reads and rewrites it, and we decode what gifsicle and ImageMagick
// write. Each test is skipped when its tool is missing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "tests/gif/gif_test_support.h"

namespace fs = std::filesystem;
using giftest::EncodeAnimation;
using giftest::EncodeSingle;
using giftest::MakeImage;
using giftest::Rgb;

namespace {

const char kPython[] = "/usr/bin/python3";
const char kConvert[] = "/usr/bin/convert";

// Decodes each GIF named on the command line and writes beside it:
//   <gif>.txt      width height frames transparent loop, then one duration (ms) per frame
//   <gif>.f<i>.rgb the i-th frame as composed by Pillow, RGB bytes
const char kPilScript[] = R"(import sys
from PIL import Image
for path in sys.argv[1:]:
    im = Image.open(path)
    n = getattr(im, 'n_frames', 1)
    t = im.info.get('transparency', -1)
    loop = im.info.get('loop', -1)
    durations = []
    for i in range(n):
        im.seek(i)
        durations.append(im.info.get('duration', 0))
        with open('%s.f%d.rgb' % (path, i), 'wb') as f:
            f.write(im.convert('RGB').tobytes())
    with open(path + '.txt', 'w') as f:
        f.write('%d %d %d %d %d\n' % (im.size[0], im.size[1], n, t if isinstance(t, int) else -1, loop))
        f.write(' '.join(str(d) for d in durations) + '\n')
)";

class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("kelvo-gif-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

// Runs a shell command; its output (stdout and stderr) goes to *output. True on exit status 0.
bool RunCommand(const std::string& command, std::string* output = nullptr) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return false;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) text.append(buf, n);
    const int status = pclose(p);
    if (output) *output = text;
    return status == 0;
}

bool HavePil() {
    static const bool have = RunCommand(std::string(kPython) + " -c 'import PIL'");
    return have;
}
bool HaveGifsicle() {
    static const bool have = RunCommand("command -v gifsicle");
    return have;
}
bool HaveConvert() {
    static const bool have = fs::exists(kConvert);
    return have;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(f.good()) << path;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

struct PilResult {
    bool ok = false;
    int width = 0, height = 0, frames = 0, transparent = -1, loop = -1;
    std::vector<int> durations;
    std::vector<std::vector<Rgb>> rgb;  // per frame
};

// Pillow's reading of each file, with one interpreter run for all of them.
std::vector<PilResult> PilDecode(const TempDir& dir, const std::vector<std::string>& gifs) {
    std::vector<PilResult> results(gifs.size());
    const std::string script = dir.File("pil_decode.py");
    {
        std::ofstream f(script);
        f << kPilScript;
    }
    const std::string list = dir.File("list.txt");
    {
        std::ofstream f(list);
        for (const std::string& g : gifs) f << g << "\n";
    }
    std::string out;
    if (!RunCommand("xargs " + std::string(kPython) + " " + script + " < " + list, &out)) {
        ADD_FAILURE() << "Pillow failed: " << out;
        return results;
    }
    for (size_t i = 0; i < gifs.size(); ++i) {
        PilResult& r = results[i];
        std::ifstream info(gifs[i] + ".txt");
        if (!(info >> r.width >> r.height >> r.frames >> r.transparent >> r.loop)) continue;
        for (int k = 0; k < r.frames; ++k) {
            int d = 0;
            info >> d;
            r.durations.push_back(d);
            const std::vector<uint8_t> raw = ReadFile(gifs[i] + ".f" + std::to_string(k) + ".rgb");
            std::vector<Rgb> px;
            for (size_t j = 0; j + 2 < raw.size(); j += 3) px.push_back(Rgb{raw[j], raw[j + 1], raw[j + 2]});
            r.rgb.push_back(px);
        }
        r.ok = true;
    }
    return results;
}

// Colours as PPM, the input ImageMagick reads.
void WritePpm(const std::string& path, int w, int h, const std::vector<Rgb>& colours) {
    std::vector<uint8_t> bytes;
    const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    bytes.assign(head.begin(), head.end());
    for (const Rgb& c : colours) {
        bytes.push_back(c.r);
        bytes.push_back(c.g);
        bytes.push_back(c.b);
    }
    WriteFile(path, bytes);
}

std::string HexColour(const Rgb& c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

struct Picture {
    int w, h;
    std::vector<uint8_t> pixels;
    std::vector<Rgb> palette;
    std::vector<Rgb> Colours() const {
        std::vector<Rgb> out;
        for (uint8_t p : pixels) out.push_back(palette[p]);
        return out;
    }
};

Picture RandomPicture(int w, int h, int colours, uint32_t seed) {
    return Picture{w, h, giftest::RandomPixels(w, h, colours, seed), giftest::DistinctPalette(colours, seed + 100)};
}

// Screen-like content: flat areas, a few colours in bands, noise in a corner.
Picture ScreenLikePicture(int w, int h, uint32_t seed) {
    Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h), giftest::DistinctPalette(40, seed)};
    giftest::Lcg rng(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t v = static_cast<uint8_t>((y / 9) % 5);
            if ((x / 3 + y / 4) % 7 == 0) v = 10 + static_cast<uint8_t>((x + y) % 4);
            if (x > w * 3 / 4 && y > h * 3 / 4) v = static_cast<uint8_t>(20 + rng.Below(20));
            p.pixels[static_cast<size_t>(y) * w + x] = v;
        }
    }
    return p;
}

}  // namespace

TEST(GifToolsPillow, DecodesOurSingleFrames) {
    if (!HavePil()) GTEST_SKIP() << "Pillow not available";
    TempDir dir;
    std::vector<Picture> pictures = {
        RandomPicture(1, 1, 1, 1),      RandomPicture(3, 5, 16, 2),     RandomPicture(61, 7, 16, 3),
        RandomPicture(257, 3, 16, 4),   RandomPicture(579, 11, 16, 5),  RandomPicture(64, 48, 2, 6),
        RandomPicture(256, 64, 256, 7), RandomPicture(640, 480, 256, 8),  // many table resets
        Picture{1000, 1000, std::vector<uint8_t>(1000000, 3), giftest::DistinctPalette(4, 9)},
        ScreenLikePicture(580, 380, 10),
    };
    std::vector<std::string> files;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        gdImageOwner im = MakeImage(p.w, p.h, p.pixels, p.palette);
        files.push_back(dir.File("single" + std::to_string(i) + ".gif"));
        WriteFile(files.back(), EncodeSingle(im.get()));
    }
    const std::vector<PilResult> results = PilDecode(dir, files);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const PilResult& r = results[i];
        ASSERT_TRUE(r.ok) << files[i];
        EXPECT_EQ(r.width, pictures[i].w);
        EXPECT_EQ(r.height, pictures[i].h);
        EXPECT_EQ(r.frames, 1);
        EXPECT_EQ(r.loop, 0);
        ASSERT_EQ(r.rgb.size(), 1u);
        EXPECT_TRUE(r.rgb[0] == pictures[i].Colours()) << "picture " << i << " " << pictures[i].w << "x" << pictures[i].h;
    }
}

TEST(GifToolsPillow, DecodesEveryDataLengthAcrossCodeWidthSteps) {
    // Rows of 1..2600 pixels (and more, sparser) end the LZW data at every point around the
    // 512, 1024 and 2048 code-width steps; a width slip there corrupts the tail or the end code.
    if (!HavePil()) GTEST_SKIP() << "Pillow not available";
    TempDir dir;
    const std::vector<Rgb> palette = giftest::DistinctPalette(256, 11);
    std::vector<std::string> files;
    std::vector<std::vector<Rgb>> expected;
    for (int colours : {256, 3}) {
        const std::vector<uint8_t> all = giftest::RandomPixels(9000, 1, colours, static_cast<uint32_t>(colours));
        for (int n = 1; n <= 9000; n += (n < 2600 ? 1 : 13)) {
            const std::vector<uint8_t> px(all.begin(), all.begin() + n);
            gdImageOwner im = MakeImage(n, 1, px, palette);
            files.push_back(dir.File("row" + std::to_string(colours) + "_" + std::to_string(n) + ".gif"));
            WriteFile(files.back(), EncodeSingle(im.get()));
            std::vector<Rgb> rgb;
            for (uint8_t p : px) rgb.push_back(palette[p]);
            expected.push_back(rgb);
        }
    }
    const std::vector<PilResult> results = PilDecode(dir, files);
    int failures = 0;
    for (size_t i = 0; i < files.size() && failures < 5; ++i) {
        const bool same = results[i].ok && results[i].rgb.size() == 1 && results[i].rgb[0] == expected[i];
        if (!same) {
            ADD_FAILURE() << "Pillow disagrees on " << files[i];
            ++failures;
        }
    }
}

TEST(GifToolsPillow, ComposesOurDiffAnimation) {
    if (!HavePil()) GTEST_SKIP() << "Pillow not available";
    TempDir dir;
    const std::vector<Rgb> palette = giftest::DistinctPalette(64, 12);
    std::vector<gdImageOwner> owners;
    std::vector<gdImagePtr> frames;
    std::vector<int> delays;
    std::vector<uint8_t> px = giftest::RandomPixels(96, 64, 64, 13);
    giftest::Lcg rng(14);
    for (int i = 0; i < 12; ++i) {
        if (i > 0 && i != 5) {  // frame 5 repeats frame 4: a 1x1 frame
            const int x0 = rng.Below(96), y0 = rng.Below(64);
            const int w = 1 + rng.Below(std::min(30, 96 - x0)), h = 1 + rng.Below(std::min(30, 64 - y0));
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x) px[static_cast<size_t>(y) * 96 + x] = static_cast<uint8_t>(rng.Below(64));
        }
        owners.push_back(MakeImage(96, 64, px, palette));
        frames.push_back(owners.back().get());
        delays.push_back(2 + i);
    }
    const std::string forever = dir.File("anim.gif");
    const std::string once = dir.File("once.gif");
    WriteFile(forever, EncodeAnimation(frames, delays, 0, true));
    WriteFile(once, EncodeAnimation(frames, delays, -1, true));
    const std::vector<PilResult> results = PilDecode(dir, {forever, once});
    const PilResult& r = results[0];
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.loop, 0);
    EXPECT_EQ(results[1].loop, -1);  // no loop block
    ASSERT_EQ(r.frames, 12);
    for (int i = 0; i < 12; ++i) {
        std::vector<Rgb> want;
        for (uint8_t p : frames[static_cast<size_t>(i)]->pixels) want.push_back(palette[p]);
        EXPECT_TRUE(r.rgb[static_cast<size_t>(i)] == want) << "frame " << i;
        EXPECT_EQ(r.durations[static_cast<size_t>(i)], 10 * delays[static_cast<size_t>(i)]);
    }
}

TEST(GifToolsGifsicle, ReadsAndRewritesOurAnimation) {
    if (!HaveGifsicle() || !HavePil()) GTEST_SKIP() << "gifsicle or Pillow not available";
    TempDir dir;
    const Picture a = ScreenLikePicture(300, 200, 20);
    Picture b = a;
    for (int y = 50; y < 90; ++y)
        for (int x = 120; x < 260; ++x) b.pixels[static_cast<size_t>(y) * 300 + x] = static_cast<uint8_t>(30 + (x * y) % 10);
    const Picture c{300, 200, giftest::RandomPixels(300, 200, 40, 21), a.palette};
    gdImageOwner ia = MakeImage(300, 200, a.pixels, a.palette);
    gdImageOwner ib = MakeImage(300, 200, b.pixels, a.palette);
    gdImageOwner ic = MakeImage(300, 200, c.pixels, a.palette);
    const std::string ours = dir.File("ours.gif");
    const std::string rewritten = dir.File("rewritten.gif");
    WriteFile(ours, EncodeAnimation({ia.get(), ib.get(), ic.get(), ia.get()}, {10, 20, 30, 40}, 0, true));

    std::string out;
    ASSERT_TRUE(RunCommand("gifsicle --info " + ours, &out)) << out;
    EXPECT_NE(out.find("4 images"), std::string::npos) << out;
    EXPECT_NE(out.find("loop forever"), std::string::npos) << out;
    EXPECT_EQ(out.find("warning"), std::string::npos) << out;
    // Unoptimizing decodes every frame's LZW data and composes the frames.
    ASSERT_TRUE(RunCommand("gifsicle --unoptimize " + ours + " -o " + rewritten, &out)) << out;
    EXPECT_EQ(out, "") << "gifsicle complained: " << out;

    const std::vector<PilResult> results = PilDecode(dir, {rewritten});
    ASSERT_TRUE(results[0].ok);
    ASSERT_EQ(results[0].frames, 4);
    const std::vector<Rgb> want[4] = {a.Colours(), b.Colours(), c.Colours(), a.Colours()};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(results[0].rgb[static_cast<size_t>(i)] == want[i]) << "frame " << i;
}

class GifToolsOurDecoder : public ::testing::Test {
protected:
    // Our decoding of the file against Pillow's: same size, same colours, same transparency.
    static void ExpectSameAsPil(const TempDir& dir, const std::string& gif) {
        const std::vector<uint8_t> bytes = ReadFile(gif);
        gdImageOwner im = giftest::Decode(bytes);
        ASSERT_NE(im, nullptr) << gif;
        const std::vector<PilResult> r = PilDecode(dir, {gif});
        ASSERT_TRUE(r[0].ok);
        EXPECT_EQ(im->sx, r[0].width);
        EXPECT_EQ(im->sy, r[0].height);
        EXPECT_EQ(im->transparent, r[0].transparent);
        ASSERT_FALSE(r[0].rgb.empty());
        EXPECT_TRUE(giftest::PixelColours(*im) == r[0].rgb[0]) << gif;
    }

    static gifcodec::GifFrameBlock FirstFrame(const std::string& gif) {
        const std::vector<uint8_t> bytes = ReadFile(gif);
        gifcodec::GifFrameWalker walker(bytes.data(), bytes.size());
        gifcodec::GifFrameBlock f;
        EXPECT_TRUE(walker.Next(&f)) << gif;
        return f;
    }
};

TEST_F(GifToolsOurDecoder, ImageMagickPlainInterlacedTransparent) {
    if (!HaveConvert() || !HavePil()) GTEST_SKIP() << "ImageMagick or Pillow not available";
    TempDir dir;
    const Picture p = RandomPicture(123, 77, 29, 30);
    const std::string ppm = dir.File("in.ppm");
    WritePpm(ppm, p.w, p.h, p.Colours());
    const std::string plain = dir.File("plain.gif");
    const std::string interlaced = dir.File("interlaced.gif");
    const std::string transparent = dir.File("transparent.gif");
    std::string out;
    ASSERT_TRUE(RunCommand(std::string(kConvert) + " " + ppm + " " + plain, &out)) << out;
    ASSERT_TRUE(RunCommand(std::string(kConvert) + " " + ppm + " -interlace Line " + interlaced, &out)) << out;
    ASSERT_TRUE(RunCommand(std::string(kConvert) + " " + ppm + " -transparent '" + HexColour(p.palette[p.pixels[0]]) + "' " +
                    transparent, &out)) << out;

    ExpectSameAsPil(dir, plain);
    gdImageOwner im = giftest::Decode(ReadFile(plain));
    ASSERT_NE(im, nullptr);
    EXPECT_TRUE(giftest::PixelColours(*im) == p.Colours());

    EXPECT_TRUE(FirstFrame(interlaced).interlaced);
    ExpectSameAsPil(dir, interlaced);
    im = giftest::Decode(ReadFile(interlaced));
    ASSERT_NE(im, nullptr);
    EXPECT_TRUE(giftest::PixelColours(*im) == p.Colours());

    EXPECT_GE(FirstFrame(transparent).transparentIndex, 0);
    ExpectSameAsPil(dir, transparent);
}

TEST_F(GifToolsOurDecoder, ImageMagickLocalColourTables) {
    if (!HaveConvert() || !HavePil()) GTEST_SKIP() << "ImageMagick or Pillow not available";
    TempDir dir;
    const Picture first = RandomPicture(50, 30, 12, 40);
    const Picture second = RandomPicture(50, 30, 9, 41);
    const std::string a = dir.File("a.ppm"), b = dir.File("b.ppm"), anim = dir.File("anim.gif");
    WritePpm(a, first.w, first.h, first.Colours());
    WritePpm(b, second.w, second.h, second.Colours());
    std::string out;
    ASSERT_TRUE(RunCommand(std::string(kConvert) + " " + a + " " + b + " " + anim, &out)) << out;

    // The whole file gives its first frame.
    ExpectSameAsPil(dir, anim);
    const std::vector<uint8_t> bytes = ReadFile(anim);
    EXPECT_EQ(gifcodec::CountGifFrames(bytes.data(), bytes.size()), 2);

    // The second frame, cut out with the file's header, has its own table before the global one.
    gifcodec::GifFrameWalker walker(bytes.data(), bytes.size());
    gifcodec::GifFrameBlock f;
    ASSERT_TRUE(walker.Next(&f));
    ASSERT_TRUE(walker.Next(&f));
    ASSERT_TRUE(f.hasLocalTable) << "ImageMagick wrote no local table";
    std::vector<uint8_t> single(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(walker.Screen().headerBytes));
    single.insert(single.end(), bytes.begin() + static_cast<ptrdiff_t>(f.begin), bytes.begin() + static_cast<ptrdiff_t>(f.end));
    single.push_back(0x3B);
    const std::string cut = dir.File("second.gif");
    WriteFile(cut, single);
    ExpectSameAsPil(dir, cut);
    gdImageOwner im = giftest::Decode(single);
    ASSERT_NE(im, nullptr);
    EXPECT_TRUE(giftest::PixelColours(*im) == second.Colours());
}

TEST_F(GifToolsOurDecoder, GifsicleInterlacedTransparentOptimized) {
    if (!HaveGifsicle() || !HavePil()) GTEST_SKIP() << "gifsicle or Pillow not available";
    TempDir dir;
    const Picture p = ScreenLikePicture(211, 97, 50);
    gdImageOwner im = MakeImage(p.w, p.h, p.pixels, p.palette);
    const std::string ours = dir.File("ours.gif");
    WriteFile(ours, EncodeSingle(im.get()));
    const std::string interlaced = dir.File("interlaced.gif");
    const std::string transparent = dir.File("transparent.gif");
    const std::string optimized = dir.File("optimized.gif");
    std::string out;
    ASSERT_TRUE(RunCommand("gifsicle --interlace " + ours + " -o " + interlaced, &out)) << out;
    ASSERT_TRUE(RunCommand("gifsicle --transparent '" + HexColour(p.palette[p.pixels[0]]) + "' " + ours + " -o " + transparent, &out)) << out;
    ASSERT_TRUE(RunCommand("gifsicle -O3 --colors 16 " + ours + " -o " + optimized, &out)) << out;

    EXPECT_TRUE(FirstFrame(interlaced).interlaced);
    ExpectSameAsPil(dir, interlaced);
    gdImageOwner back = giftest::Decode(ReadFile(interlaced));
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(giftest::PixelColours(*back) == p.Colours());

    EXPECT_GE(FirstFrame(transparent).transparentIndex, 0);
    ExpectSameAsPil(dir, transparent);
    ExpectSameAsPil(dir, optimized);
}
