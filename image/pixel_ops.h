// Pixel algorithms on packed DIBs, free of any platform call: scaling, colour reduction with
// optional error diffusion, copying one picture into another, and the painting steps of text
// drawing (box fill and glyph coverage). Rows are bottom-up as in the DIB unless a function
// says it takes top-down picture coordinates.
#pragma once

#include <vector>

#include "image/packed_dib.h"

namespace pixels {

// 24-bit copy of a picture (8-bit pixels are looked up in the colour table).
bool ConvertTo24(const PackedDib& src, PackedDib& out);

// Scales src to width x height into a new 24-bit picture. Interpolation is bicubic
// convolution (a = -0.5) with edge pixels repeated outside the picture; in a direction
// that shrinks, allowAveraging uses area averaging instead so that no source pixel is
// skipped. Sizes below 1 become 1. False when src is empty or the size is too large.
bool ResampleBicubic(const PackedDib& src, long width, long height, bool allowAveraging,
                     PackedDib& out);

// Index of the entry nearest to (r, g, b) among the first count entries of the table, by
// squared RGB distance; on equal distance the lowest index wins.
unsigned NearestPaletteIndex(const RGBQUAD* table, unsigned count, int r, int g, int b);

// 8-bit copy of src whose colour table is the 256 entries of table. Each pixel takes the
// nearest of the first `important` entries (0 or more than 256 means all 256); with dither
// the rounding error is spread by Floyd-Steinberg (rows top to bottom, left to right).
// biClrImportant of the result is `important`.
bool ReduceToPalette(const PackedDib& src, const RGBQUAD* table, unsigned important, bool dither,
                     PackedDib& out);

// A colour table for writing src with at most 256 colours: its own colours in order of first
// appearance when it has no more than 256 (exact), else a fixed 6 x 7 x 6 colour cube.
// Entries past the returned count are black. exact tells which of the two it is.
unsigned BuildPaletteFor(const PackedDib& src, RGBQUAD table[256], bool& exact);

// dst(x, y) = src(x + xOffset, y + yOffset) wherever both pixels exist (stored rows, so a
// negative yOffset moves the source up from the bottom). dst must be 24-bit.
bool MixCopy(PackedDib& dst, const PackedDib& src, long xOffset, long yOffset);

// Rectangle in top-down picture coordinates, right and bottom exclusive.
struct PixelRect {
    long left;
    long top;
    long right;
    long bottom;
};

// Paints box in colour over a 24-bit picture, clipped to it. transparency 0 is a solid box,
// 1 leaves the picture unchanged; values between blend. cornerRadius > 0 rounds the corners.
bool FillBox(PackedDib& dst, PixelRect box, RGBQUAD colour, float transparency, long cornerRadius);

// Paints colour through a coverage plane (one byte per pixel, 0 = none, 255 = full, rows
// top-down, maskWidth bytes each) placed with its top-left pixel at (left, top) in top-down
// picture coordinates, clipped to the picture. hardEdges sets the pixels whose coverage is
// at least half and leaves the rest; otherwise coverage blends.
bool PaintCoverage(PackedDib& dst, long left, long top, const std::vector<BYTE>& mask,
                   long maskWidth, long maskHeight, RGBQUAD colour, bool hardEdges);

}  // namespace pixels
