#include "bench/gif_bench_frames.h"

#include <algorithm>
#include <cmath>

namespace {

// Palette layout.
constexpr uint8_t kWhite = 0, kLightGrey = 1, kMidGrey = 2, kDarkGrey = 3, kTitleBlue = 4, kBlack = 5,
                  kSelection = 6, kLinkBlue = 7, kRed = 8, kGreen = 9, kDialog = 10, kCursorBorder = 11;
constexpr int kGradientFirst = 16, kGradientCount = 96;
constexpr int kAccentFirst = kGradientFirst + kGradientCount;  // the rest: assorted colours

constexpr int kGlyphW = 7, kGlyphH = 10, kLineH = 14;

class Lcg {
public:
    explicit Lcg(uint32_t seed) : s_(seed) {}
    uint32_t Next() {
        s_ = s_ * 1664525u + 1013904223u;
        return s_ >> 8;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t s_;
};

// Arrow cursor, 12 x 19: 0 transparent, 1 border, 2 fill.
const char* const kCursor[19] = {
    "1           ", "11          ", "121         ", "1221        ", "12221       ", "122221      ",
    "1222221     ", "12222221    ", "122222221   ", "1222222221  ", "12222222221 ", "122222222221",
    "1222221111  ", "1221221     ", "121 1221    ", "11  1221    ", "1    1221   ", "     1221   ",
    "      11    ",
};

}  // namespace

GifBenchScreen::GifBenchScreen(int width, int height, uint32_t seed) : width_(width), height_(height) {
    BuildPalette(seed);
    BuildDocument(seed + 1);
}

void GifBenchScreen::BuildPalette(uint32_t seed) {
    static const uint8_t kFixed[12][3] = {{255, 255, 255}, {240, 240, 240}, {200, 200, 200}, {90, 90, 90},
                                          {0, 84, 166},    {0, 0, 0},       {51, 153, 255},  {0, 102, 204},
                                          {220, 40, 40},   {40, 170, 60},   {250, 248, 235}, {30, 30, 30}};
    for (int i = 0; i < 256; ++i) palette_[i][0] = palette_[i][1] = palette_[i][2] = 0;
    for (int i = 0; i < 12; ++i)
        for (int c = 0; c < 3; ++c) palette_[i][c] = kFixed[i][c];
    for (int i = 0; i < kGradientCount; ++i) {
        palette_[kGradientFirst + i][0] = static_cast<uint8_t>(30 + i * 2);
        palette_[kGradientFirst + i][1] = static_cast<uint8_t>(60 + i);
        palette_[kGradientFirst + i][2] = static_cast<uint8_t>(120 + i);
    }
    Lcg rng(seed);
    for (int i = kAccentFirst; i < 256; ++i)
        for (int c = 0; c < 3; ++c) palette_[i][c] = static_cast<uint8_t>(rng.Below(256));
}

void GifBenchScreen::BuildDocument(uint32_t seed) {
    Lcg rng(seed);
    glyphs_.assign(64 * kGlyphH, 0);
    for (int g = 0; g < 64; ++g) {
        // Strokes rather than noise: a few horizontal and vertical bars per glyph.
        for (int s = 0; s < 3; ++s) {
            if (rng.Below(2)) {
                const int row = 1 + rng.Below(kGlyphH - 2);
                for (int x = rng.Below(3); x < kGlyphW - rng.Below(3); ++x) glyphs_[g * kGlyphH + row] |= 1 << x;
            } else {
                const int col = rng.Below(kGlyphW - 1);
                for (int y = rng.Below(3); y < kGlyphH - 1; ++y) glyphs_[g * kGlyphH + y] |= 1 << col;
            }
        }
    }
    documentWidth_ = width_ * 2 / 3;
    documentHeight_ = 2400;
    document_.assign(static_cast<size_t>(documentWidth_) * documentHeight_, kWhite);
    for (int line = 0; line * kLineH + kGlyphH < documentHeight_; ++line) {
        const int y = line * kLineH + 2;
        int x = 6 + (line % 5 == 0 ? 0 : 14);
        const bool link = line % 11 == 3;
        const int words = 3 + rng.Below(9);
        for (int w = 0; w < words && x < documentWidth_ - 10; ++w) {
            const int letters = 2 + rng.Below(8);
            for (int l = 0; l < letters && x + kGlyphW < documentWidth_; ++l, x += kGlyphW + 1)
                DrawGlyph(document_, documentWidth_, x, y, rng.Below(64), link ? kLinkBlue : kBlack);
            x += kGlyphW;
        }
        if (line % 17 == 8) Fill(document_, 0, y - 2, documentWidth_, kLineH, kSelection);
    }
    for (int i = 0; i < 200; ++i) typed_.push_back(rng.Below(64));
}

void GifBenchScreen::DrawGlyph(std::vector<uint8_t>& canvas, int canvasWidth, int x, int y, int glyph,
                               uint8_t colour) const {
    for (int gy = 0; gy < kGlyphH; ++gy) {
        const uint16_t bits = glyphs_[glyph * kGlyphH + gy];
        for (int gx = 0; gx < kGlyphW; ++gx)
            if (bits & (1 << gx)) canvas[static_cast<size_t>(y + gy) * canvasWidth + x + gx] = colour;
    }
}

void GifBenchScreen::Fill(std::vector<uint8_t>& px, int x, int y, int w, int h, uint8_t colour) const {
    const int stride = (&px == &document_) ? documentWidth_ : width_;
    const int rows = static_cast<int>(px.size()) / stride;
    for (int r = std::max(0, y); r < std::min(rows, y + h); ++r)
        for (int c = std::max(0, x); c < std::min(stride, x + w); ++c) px[static_cast<size_t>(r) * stride + c] = colour;
}

void GifBenchScreen::Render(int index, std::vector<uint8_t>* out) const {
    std::vector<uint8_t>& px = *out;
    px.assign(static_cast<size_t>(width_) * height_, kLightGrey);
    const int titleH = 24, menuH = 20, sideW = width_ / 3 - 20;

    Fill(px, 0, 0, width_, titleH, kTitleBlue);
    for (int i = 0; i < 3; ++i) Fill(px, width_ - 22 * (i + 1), 5, 16, 14, i == 0 ? kRed : kMidGrey);
    Fill(px, 0, titleH, width_, menuH, kLightGrey);
    Fill(px, 0, titleH + menuH - 1, width_, 1, kMidGrey);

    // Sidebar: list entries, the selected one moving now and then.
    Fill(px, 0, titleH + menuH, sideW, height_ - titleH - menuH, kWhite);
    Fill(px, sideW, titleH + menuH, 1, height_ - titleH - menuH, kMidGrey);
    const int selected = (index / 40) % 12;
    for (int e = 0; e < 12; ++e) {
        const int y = titleH + menuH + 6 + e * 18;
        if (e == selected) Fill(px, 2, y - 3, sideW - 4, 17, kSelection);
        for (int l = 0; l < 8 + (e * 5) % 7; ++l)
            DrawGlyph(px, width_, 8 + l * (kGlyphW + 1), y, (e * 7 + l * 3) % 64, e == selected ? kWhite : kDarkGrey);
    }

    // Gradient panel at the bottom of the sidebar, its band shifting slowly.
    const int gradTop = titleH + menuH + 230;
    for (int y = gradTop; y < height_ - 4; ++y)
        for (int x = 4; x < sideW - 4; ++x) {
            const int shade = ((y - gradTop) * kGradientCount / std::max(1, height_ - 4 - gradTop) + x / 24 + index / 30) % kGradientCount;
            px[static_cast<size_t>(y) * width_ + x] = static_cast<uint8_t>(kGradientFirst + shade);
        }

    // A picture thumbnail in the panel, in the assorted colours, replaced every 50 frames.
    const int picture = index / 50;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const int v = ((x * (3 + picture)) / 8 + (y * (5 + picture)) / 6 + (x * y) / (40 + picture)) % (256 - kAccentFirst);
            px[static_cast<size_t>(gradTop + 8 + y) * width_ + 8 + x] = static_cast<uint8_t>(kAccentFirst + v);
        }

    // Text area: a view onto the document, scrolling in bursts.
    const int viewX = sideW + 8, viewY = titleH + menuH + 8;
    const int viewW = std::min(documentWidth_, width_ - viewX - 8), viewH = height_ - viewY - 60;
    const int phase = index % 60;
    const int scroll = (index / 60) * 120 + (phase < 30 ? phase * 4 : 120);
    for (int y = 0; y < viewH; ++y) {
        const int docY = (scroll + y) % (documentHeight_ - 1);
        std::copy_n(&document_[static_cast<size_t>(docY) * documentWidth_], viewW, &px[static_cast<size_t>(viewY + y) * width_ + viewX]);
    }

    // Line being typed below the text area, one glyph every other frame.
    const int typeY = height_ - 44;
    Fill(px, viewX, typeY - 4, viewW, 20, kWhite);
    const int letters = std::min<int>(static_cast<int>(typed_.size()), (index / 2) % 70);
    for (int l = 0; l < letters && viewX + 4 + (l + 1) * (kGlyphW + 1) < viewX + viewW; ++l)
        DrawGlyph(px, width_, viewX + 4 + l * (kGlyphW + 1), typeY, typed_[static_cast<size_t>(l)], kBlack);

    // A dialog over the middle for frames 100..159.
    if (index >= 100 && index < 160) {
        const int dw = 260, dh = 120, dx = (width_ - dw) / 2, dy = (height_ - dh) / 2;
        Fill(px, dx + 4, dy + 4, dw, dh, kDarkGrey);
        Fill(px, dx, dy, dw, dh, kDialog);
        Fill(px, dx, dy, dw, 20, kTitleBlue);
        for (int l = 0; l < 26; ++l) DrawGlyph(px, width_, dx + 10 + l * (kGlyphW + 1), dy + 40, (l * 11) % 64, kBlack);
        Fill(px, dx + dw - 80, dy + dh - 30, 64, 22, (index / 5) % 2 ? kGreen : kMidGrey);
    }

    // Mouse cursor on a smooth path.
    const double t = index * 0.05;
    const int cx = static_cast<int>(width_ / 2 + std::sin(t) * width_ * 0.38);
    const int cy = static_cast<int>(height_ / 2 + std::sin(t * 1.7) * height_ * 0.35);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 12; ++x) {
            const char c = kCursor[y][x];
            const int X = cx + x, Y = cy + y;
            if (c == ' ' || X < 0 || Y < 0 || X >= width_ || Y >= height_) continue;
            px[static_cast<size_t>(Y) * width_ + X] = c == '1' ? kCursorBorder : kWhite;
        }
}
