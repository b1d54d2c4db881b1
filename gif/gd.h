// Palette images and animated-GIF assembly with the libgd-style calls the recorder makes.
// Our own implementation: C++ standard library only, no platform calls.
//
// Images are 8-bit palette images. Pixel values are indexes into red/green/blue tables of 256
// entries; entries at or past colorsTotal are black (0, 0, 0), so a pixel whose index is not
// allocated still has a defined colour. Blocks returned by the ...Ptr calls are allocated with
// malloc and released with gdFree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

constexpr int gdMaxColors = 256;

// Largest image this library creates or decodes: each side up to 16384, area up to 64 M pixels.
constexpr int gdMaxImageSide = 16384;
constexpr long long gdMaxImageArea = 64LL * 1024 * 1024;

struct gdImage {
    int sx = 0;                           // width in pixels
    int sy = 0;                           // height in pixels
    std::vector<unsigned char> pixels;    // sy rows of sx palette indexes, top row first
    int colorsTotal = 0;                  // allocated palette entries
    int red[gdMaxColors] = {};
    int green[gdMaxColors] = {};
    int blue[gdMaxColors] = {};
    int transparent = -1;                 // transparent index, or -1
    int interlace = 0;                    // set when the decoded file was interlaced
};
typedef gdImage* gdImagePtr;

// gdImageCompare result bits; 0 means the two images are the same.
enum : int {
    GD_CMP_IMAGE = 1,         // some pixel shows a different colour (or transparency)
    GD_CMP_NUM_COLORS = 2,    // colorsTotal differs
    GD_CMP_COLOR = 4,         // a palette entry below both colorsTotal differs
    GD_CMP_SIZE_X = 8,        // widths differ
    GD_CMP_SIZE_Y = 16,       // heights differ
    GD_CMP_TRANSPARENT = 32,  // one has a transparent colour and the other not, or its colour differs
};

// Disposal methods of gdImageGifAnimAddPtr.
enum : int {
    gdDisposalUnknown = 0,
    gdDisposalNone = 1,
    gdDisposalRestoreBackground = 2,
    gdDisposalRestorePrevious = 3,
};

// New palette image with no colours, no transparency and every pixel 0.
// NULL when a side is below 1 or above the limits, or memory is short.
gdImagePtr gdImageCreate(int sx, int sy);

// New palette image from 8-bit pixels (rows `stride` bytes apart, top row first) and `ncolors`
// palette entries (red, green, blue). NULL on bad arguments (sizes as gdImageCreate, stride
// below width, ncolors outside 0..256, missing pixels or palette) or when memory is short.
gdImagePtr gdImageCreateFromIndexed(int sx, int sy, const uint8_t* pixels, size_t stride,
                                    const uint8_t (*rgb)[3], int ncolors);

void gdImageDestroy(gdImagePtr im);

// Next palette index with this colour (no search for an equal one); -1 when all 256 are in use.
int gdImageColorAllocate(gdImagePtr im, int r, int g, int b);

inline int gdImagePalettePixel(const gdImage* im, int x, int y) {
    return im->pixels[static_cast<size_t>(y) * static_cast<size_t>(im->sx) + static_cast<size_t>(x)];
}

// Remaps every pixel of dst to the nearest colour of src's palette (squared RGB distance, the
// lowest index among equals), then gives dst src's palette. A transparent index of dst is
// remapped the same way. Nothing happens when src has no colours.
void gdImagePaletteCopy(gdImagePtr dst, gdImagePtr src);

// GD_CMP_... bits; pixels are compared by the colour they show, not by their index.
int gdImageCompare(gdImagePtr a, gdImagePtr b);

// The first image of a GIF file in memory (its own size, not the logical screen's), with the
// local colour table if it has one, else the global table, and the transparent index of its
// graphic control extension. The whole file must be well formed up to its trailer.
// NULL on any malformed, truncated or oversized input.
gdImagePtr gdImageCreateFromGifPtr(int size, void* data);

// Animated GIF in three kinds of block: header, one per frame, trailer.
// Begin: header and logical screen of im's size; GlobalCM != 0 writes im's palette as a
// 256-entry global table. Loops: 0 forever, n > 0 that many repeats, -1 no loop block.
void* gdImageGifAnimBeginPtr(gdImagePtr im, int* size, int GlobalCM, int Loops);

// One frame: graphic control extension (Disposal, Delay in 1/100 s, im's transparent index),
// image descriptor at (LeftOfs, TopOfs), never interlaced, and LZW image data (minimum code
// size 8). LocalCM != 0 adds im's palette as a 256-entry local table. With previm (same size as im), only the smallest rectangle holding
// every pixel whose colour differs from previm is stored, at its offset; when nothing differs,
// the single pixel at (0, 0), so the frame and its delay still exist.
void* gdImageGifAnimAddPtr(gdImagePtr im, int* size, int LocalCM, int LeftOfs, int TopOfs,
                           int Delay, int Disposal, gdImagePtr previm);

void* gdImageGifAnimEndPtr(int* size);

void gdFree(void* block);

// Owners for callers that want the release done for them.
struct gdImageDeleter {
    void operator()(gdImagePtr im) const { gdImageDestroy(im); }
};
typedef std::unique_ptr<gdImage, gdImageDeleter> gdImageOwner;

struct gdBlockDeleter {
    void operator()(void* block) const { gdFree(block); }
};
typedef std::unique_ptr<void, gdBlockDeleter> gdBlockOwner;
