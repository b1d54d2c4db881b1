// The platform-free composition of animated GIFs: finds the frames of a file (with the bounds
// that a file from anywhere needs), cuts each frame into a single-frame GIF stream, and runs
// the composition of frames onto a canvas with their disposal methods. The Windows import
// reader (gif_frame_reader.h) decodes the streams with the OLE picture loader and paints with
// GDI; GifMemoryReader below does the same with our own codec on an RGB canvas, for the native
// tests and the fuzzer; the GIF view (gif_view.h) composes one frame at a time on a canvas with
// alpha. All of them walk with ReadGifLayout and dispose with ComposeGifFrame, so they compose
// alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "gif/gd.h"

namespace gifimport {

// What a file may cost at most. The defaults are the import's.
struct GifReadLimits {
    uint64_t maxFileBytes = 128ull << 20;
    int maxScreenSide = 8192;
    uint64_t maxScreenArea = UINT64_MAX;
    // The picture is the logical screen grown to hold the first frame, so that a screen of
    // 0 x 0 still shows its frames; the side and area limits then hold for the grown size.
    bool growScreenToFirstFrame = false;
    // Memory held at once: one full-screen 24-bit snapshot per frame plus each frame's decoded
    // picture (taken at 4 bytes a pixel). Frames past the budget are left out. The import
    // reader sizes it from the memory available when it starts (gif_frame_reader.h).
    uint64_t memoryBudget = 512ull << 20;
    // The last guard against a hostile file of countless tiny frames: every frame is held as a
    // decoded picture (a GDI bitmap or two on Windows, where a process may own 10,000 GDI
    // objects) until composed.
    size_t maxFrames = 4000;
};

// A missing or zero delay shows a frame for this long (hundredths of a second).
constexpr int kDefaultFrameDelay = 5;
inline int ImportedDelay(int delay) { return delay < 1 ? kDefaultFrameDelay : delay; }

struct GifRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct GifFrameGeometry {
    GifRect rect;       // position and size on the logical screen, from the image descriptor
    int delay = -1;     // hundredths of a second; -1 without a graphic control extension
    int disposal = 0;   // 0..7; 0 without a graphic control extension
};

// One frame of the file: its bytes run from its graphic control extension (else its image
// descriptor) to the end of its image data, blocks in between included.
struct GifFrameSpan {
    size_t begin = 0;
    size_t end = 0;
    GifFrameGeometry geometry;
};

enum class GifLayoutStatus {
    Ok,
    TooLarge,     // the file exceeds maxFileBytes
    NotGif,       // no "GIF87a"/"GIF89a" signature
    Truncated,    // the data ends inside the screen descriptor or the global table
    BadScreen,    // a picture side of 0 or above maxScreenSide, or an area above maxScreenArea
    NoFrame,      // no image before the trailer, the first fault or the end of the data
};

struct GifLayout {
    int screenWidth = 0;        // the picture: the logical screen, grown when the limits say so
    int screenHeight = 0;
    size_t headerBytes = 0;     // signature, logical screen descriptor and global table
    size_t framesFound = 0;     // images the walk found, at most maxFrames + 1
    std::vector<GifFrameSpan> frames;  // the images that fit the limits, in file order
    bool cut = false;           // images were left out for the limits
};

// Walks the file's blocks (every read checked against the end) and lists its images. The walk
// ends at the trailer, at an unknown or truncated block, or after maxFrames + 1 images; images
// before that point stay listed. Images whose own cost exceeds the budget are skipped; the
// list ends where the running cost would pass it.
GifLayoutStatus ReadGifLayout(const uint8_t* data, size_t size, const GifReadLimits& limits,
                              GifLayout* layout);

// The single-frame GIF of a frame: the file's header and global table unchanged, the frame's
// bytes, and a trailer.
size_t FrameStreamSize(const GifLayout& layout, const GifFrameSpan& frame);
// Writes FrameStreamSize bytes to out; data is the file the layout was read from.
void WriteFrameStream(const uint8_t* data, const GifLayout& layout, const GifFrameSpan& frame,
                      uint8_t* out);
std::vector<uint8_t> FrameStream(const uint8_t* data, const GifLayout& layout,
                                 const GifFrameSpan& frame);

// Where a snapshot of srcW x srcH goes on a black box of boxW x boxH: shrunk to fit when it is
// as large as the box either way (never enlarged), then centred. The offsets are those of
// CxImage::Mix (negative: the snapshot moves right and up), halves truncated.
struct GifFit {
    int width = 0;
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;
    bool resample = false;  // the fitted size differs from the source size
};
// False when a size is below 1.
bool FitIntoBox(int srcW, int srcH, int boxW, int boxH, GifFit* fit);

// The surface a composition paints on, with the frames it paints.
class GifCanvasOps {
public:
    virtual ~GifCanvasOps() = default;
    virtual size_t FrameCount() const = 0;
    virtual GifFrameGeometry FrameAt(size_t index) const = 0;
    // Keeps a copy of the area (disposal 3); false when no copy could be made.
    virtual bool SaveArea(const GifRect& area) = 0;
    // Puts the copy of SaveArea back and drops it.
    virtual void RestoreArea(const GifRect& area) = 0;
    // Paints the area in the background colour (disposal 2).
    virtual void FillBackground(const GifRect& area) = 0;
    // Paints frame index into its rectangle, leaving its transparent pixels alone.
    virtual bool PaintFrame(size_t index, const GifRect& area) = 0;
    // Hands out the whole canvas as frame index's picture; false stops the composition.
    virtual bool Snapshot(size_t index) = 0;
    // Called once after each frame.
    virtual void FrameDone() {}
};

enum class GifFrameOutcome {
    Shown,           // painted and snapshot
    NotPainted,      // no snapshot; the frame was still disposed of
    SnapshotFailed,  // painted, but the snapshot failed
};

// Composes frame index: disposal 3 saves the area before painting; a painted frame is
// snapshot; then disposal 2 fills its area with the background and disposal 3 puts the saved
// area back (other methods leave the frame in place). A frame that does not paint gives no
// snapshot but is still disposed of.
GifFrameOutcome ComposeGifFrame(GifCanvasOps& ops, size_t index);

// Composes frames from..FrameCount()-1 in order with ComposeGifFrame, calling FrameDone after
// each. Returns the index after the last frame composed; *stopped tells whether a snapshot
// failed and ended the composition early.
size_t ComposeGifFrames(GifCanvasOps& ops, size_t from, bool* stopped);

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// A canvas in memory, rows top first, of Rgb (the import's snapshots) or of 0xAARRGGBB words
// with alpha 0xFF for painted pixels (the GIF view).
template <typename Pixel>
class GifCanvas {
public:
    // False when a side is below 1 or memory is short.
    bool Create(int width, int height, Pixel fill);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Pixel At(int x, int y) const;
    const std::vector<Pixel>& Pixels() const { return pixels_; }

    // Every operation clips to the canvas.
    void Fill(const GifRect& area, Pixel colour);
    bool SaveArea(const GifRect& area);
    void RestoreArea(const GifRect& area);
    // Paints a decoded frame at (left, top), skipping its transparent pixels.
    void Paint(const gdImage& frame, int left, int top);

private:
    // The part of area inside the canvas; false when nothing is.
    bool Clip(const GifRect& area, GifRect* clipped) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<Pixel> pixels_;
    GifRect saved_;
    std::vector<Pixel> savedPixels_;
};

extern template class GifCanvas<Rgb>;
extern template class GifCanvas<uint32_t>;
using GifRgbCanvas = GifCanvas<Rgb>;
using GifArgbCanvas = GifCanvas<uint32_t>;

// The composition of gif_frame_reader.h with our own codec in place of the OLE loader: frames
// the codec cannot decode are dropped, as the loader's refusals are there.
class GifMemoryReader {
public:
    // Fills the canvas with fill; disposal 2 paints background.
    GifMemoryReader(Rgb fill, Rgb background) : fill_(fill), background_(background) {}

    // False when the file is refused, holds no frame, a lone frame does not decode, no frame
    // of several decodes, or the canvas cannot be made.
    bool Load(const uint8_t* data, size_t size, const GifReadLimits& limits = GifReadLimits());
    void Release();

    bool IsAnimated() const { return frames_.size() >= 2; }
    size_t FrameTotal() const { return IsAnimated() ? frames_.size() : 0; }
    const GifLayout& Layout() const { return layout_; }
    const GifFrameGeometry& Frame(size_t index) const { return frames_[index].geometry; }

    // Composes the frames not composed yet; snapshot receives the canvas after each painted
    // frame with that frame's geometry and returns false to stop. Returns the snapshots taken.
    typedef std::function<bool(const GifFrameGeometry&, const GifRgbCanvas&)> SnapshotSink;
    size_t Compose(const SnapshotSink& snapshot);
    bool StoppedEarly() const { return stopped_; }

private:
    struct DecodedFrame {
        gdImageOwner picture;
        GifFrameGeometry geometry;
    };
    class Ops;

    Rgb fill_;
    Rgb background_;
    GifLayout layout_;
    std::vector<DecodedFrame> frames_;
    GifRgbCanvas canvas_;
    size_t current_ = 0;
    bool stopped_ = false;
};

}  // namespace gifimport
