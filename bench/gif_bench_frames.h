// Reproducible screen-like palette frames for the GIF benchmarks: a window with title and
// menu bars, a sidebar, a gradient panel, a text area that scrolls, a line being typed, a
// dialog that comes and goes, and a moving mouse cursor. 256-colour palette.
#pragma once

#include <cstdint>
#include <vector>

class GifBenchScreen {
public:
    GifBenchScreen(int width, int height, uint32_t seed);

    int Width() const { return width_; }
    int Height() const { return height_; }
    const uint8_t (*Palette() const)[3] { return palette_; }

    // Frame `index` as palette indexes, width x height, top row first.
    void Render(int index, std::vector<uint8_t>* pixels) const;

private:
    void BuildPalette(uint32_t seed);
    void BuildDocument(uint32_t seed);
    void DrawGlyph(std::vector<uint8_t>& canvas, int canvasWidth, int x, int y, int glyph, uint8_t colour) const;
    void Fill(std::vector<uint8_t>& px, int x, int y, int w, int h, uint8_t colour) const;

    int width_;
    int height_;
    uint8_t palette_[256][3];
    std::vector<uint16_t> glyphs_;   // 64 glyphs of 7 x 10 bits, one row per entry
    std::vector<uint8_t> document_;  // the scrolling text, taller than its view
    int documentWidth_ = 0;
    int documentHeight_ = 0;
    std::vector<int> typed_;         // glyphs of the line being typed
};
