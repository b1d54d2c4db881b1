#include "gif/gif_compose.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gif/gif_frames.h"

namespace gifimport {
namespace {

constexpr uint8_t kTrailer = 0x3B;
constexpr uint64_t kSnapshotBytesPerPixel = 3;
constexpr uint64_t kPictureBytesPerPixel = 4;

uint64_t Area(int width, int height) {
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
}

bool PictureFits(int64_t width, int64_t height, const GifReadLimits& limits) {
    return width >= 1 && height >= 1 && width <= limits.maxScreenSide && height <= limits.maxScreenSide &&
           static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= limits.maxScreenArea;
}

// A palette entry of a decoded frame as a pixel of the canvas.
void PixelOf(const gdImage& frame, int index, Rgb* out) {
    *out = {static_cast<uint8_t>(frame.red[index]), static_cast<uint8_t>(frame.green[index]),
            static_cast<uint8_t>(frame.blue[index])};
}
void PixelOf(const gdImage& frame, int index, uint32_t* out) {
    *out = 0xFF000000u | (static_cast<uint32_t>(frame.red[index] & 0xFF) << 16) |
           (static_cast<uint32_t>(frame.green[index] & 0xFF) << 8) | static_cast<uint32_t>(frame.blue[index] & 0xFF);
}

}  // namespace

GifLayoutStatus ReadGifLayout(const uint8_t* data, size_t size, const GifReadLimits& limits,
                              GifLayout* layout) {
    *layout = GifLayout();
    if (static_cast<uint64_t>(size) > limits.maxFileBytes) return GifLayoutStatus::TooLarge;
    if (!data) return GifLayoutStatus::NotGif;

    gifcodec::GifFrameWalker walker(data, size);
    if (!walker.HeaderValid()) {
        return walker.State() == gifcodec::GifWalkState::Truncated ? GifLayoutStatus::Truncated
                                                                   : GifLayoutStatus::NotGif;
    }
    const gifcodec::GifScreenInfo& screen = walker.Screen();
    // A screen to be grown may start empty, but growing never mends a side or area too large.
    const bool grow = limits.growScreenToFirstFrame;
    if (!PictureFits(grow ? std::max(screen.width, 1) : screen.width,
                     grow ? std::max(screen.height, 1) : screen.height, limits)) {
        return GifLayoutStatus::BadScreen;
    }
    layout->screenWidth = screen.width;
    layout->screenHeight = screen.height;
    layout->headerBytes = screen.headerBytes;

    const uint64_t snapshotBytes = Area(screen.width, screen.height) * kSnapshotBytesPerPixel;
    uint64_t held = 0;
    bool budgetSpent = false;
    gifcodec::GifFrameBlock block;
    while (walker.Next(&block)) {
        ++layout->framesFound;
        if (grow && layout->framesFound == 1) {
            // 64-bit sums: descriptor fields reach 65535 each.
            const int64_t right = static_cast<int64_t>(block.left) + block.width;
            const int64_t bottom = static_cast<int64_t>(block.top) + block.height;
            if (!PictureFits(std::max<int64_t>(screen.width, right), std::max<int64_t>(screen.height, bottom), limits)) {
                return GifLayoutStatus::BadScreen;
            }
            layout->screenWidth = static_cast<int>(std::max<int64_t>(screen.width, right));
            layout->screenHeight = static_cast<int>(std::max<int64_t>(screen.height, bottom));
        }
        if (layout->framesFound > limits.maxFrames) {
            layout->cut = true;
            break;
        }
        if (budgetSpent) continue;  // still counting, so that the count says "several"
        const uint64_t cost = snapshotBytes + Area(block.width, block.height) * kPictureBytesPerPixel;
        if (cost > limits.memoryBudget) {
            layout->cut = true;  // this frame alone is too costly: leave it out
            continue;
        }
        if (held + cost > limits.memoryBudget) {
            layout->cut = true;
            budgetSpent = true;
            continue;
        }
        held += cost;
        GifFrameSpan span;
        span.begin = block.begin;
        span.end = block.end;
        span.geometry.rect = {block.left, block.top, block.width, block.height};
        span.geometry.delay = block.hasControl ? block.delay : -1;
        span.geometry.disposal = block.hasControl ? block.disposal : 0;
        try {
            layout->frames.push_back(span);
        } catch (const std::bad_alloc&) {
            layout->cut = true;
            break;
        }
    }
    return layout->framesFound == 0 ? GifLayoutStatus::NoFrame : GifLayoutStatus::Ok;
}

size_t FrameStreamSize(const GifLayout& layout, const GifFrameSpan& frame) {
    return layout.headerBytes + (frame.end - frame.begin) + 1;
}

void WriteFrameStream(const uint8_t* data, const GifLayout& layout, const GifFrameSpan& frame,
                      uint8_t* out) {
    std::memcpy(out, data, layout.headerBytes);
    std::memcpy(out + layout.headerBytes, data + frame.begin, frame.end - frame.begin);
    out[layout.headerBytes + (frame.end - frame.begin)] = kTrailer;
}

std::vector<uint8_t> FrameStream(const uint8_t* data, const GifLayout& layout,
                                 const GifFrameSpan& frame) {
    std::vector<uint8_t> out(FrameStreamSize(layout, frame));
    WriteFrameStream(data, layout, frame, out.data());
    return out;
}

bool FitIntoBox(int srcW, int srcH, int boxW, int boxH, GifFit* fit) {
    if (srcW < 1 || srcH < 1 || boxW < 1 || boxH < 1) return false;
    // Single precision and truncation, as the frame strip's still pictures are fitted.
    const float sx = static_cast<float>(srcW) / static_cast<float>(boxW);
    const float sy = static_cast<float>(srcH) / static_cast<float>(boxH);
    GifFit out;
    if (sx >= 1.0f || sy >= 1.0f) {
        if (sx > sy) {
            out.width = boxW;
            out.height = std::max(1, static_cast<int>(static_cast<float>(srcH) / sx));
        } else {
            out.width = std::max(1, static_cast<int>(static_cast<float>(srcW) / sy));
            out.height = boxH;
        }
    } else {
        out.width = srcW;
        out.height = srcH;
    }
    out.offsetX = -((boxW - out.width) / 2);
    out.offsetY = -((boxH - out.height) / 2);
    out.resample = out.width != srcW || out.height != srcH;
    *fit = out;
    return true;
}

GifFrameOutcome ComposeGifFrame(GifCanvasOps& ops, size_t index) {
    const GifFrameGeometry frame = ops.FrameAt(index);
    const bool saved = frame.disposal == 3 && ops.SaveArea(frame.rect);
    GifFrameOutcome outcome = GifFrameOutcome::NotPainted;
    if (ops.PaintFrame(index, frame.rect)) {
        outcome = ops.Snapshot(index) ? GifFrameOutcome::Shown : GifFrameOutcome::SnapshotFailed;
    }
    if (frame.disposal == 2) {
        ops.FillBackground(frame.rect);
    } else if (saved) {
        ops.RestoreArea(frame.rect);
    }
    return outcome;
}

size_t ComposeGifFrames(GifCanvasOps& ops, size_t from, bool* stopped) {
    *stopped = false;
    size_t next = from;
    // The count is asked each time: progress pumps messages between frames.
    while (next < ops.FrameCount()) {
        const GifFrameOutcome outcome = ComposeGifFrame(ops, next);
        ++next;
        ops.FrameDone();
        // A snapshot that fails ends the run.
        if (outcome == GifFrameOutcome::SnapshotFailed) {
            *stopped = true;
            break;
        }
    }
    return next;
}

// ---- GifCanvas -----------------------------------------------------------------------------

template <typename Pixel>
bool GifCanvas<Pixel>::Create(int width, int height, Pixel fill) {
    pixels_.clear();
    savedPixels_.clear();
    width_ = height_ = 0;
    if (width < 1 || height < 1) return false;
    try {
        pixels_.assign(static_cast<size_t>(Area(width, height)), fill);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

template <typename Pixel>
Pixel GifCanvas<Pixel>::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return Pixel();
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

template <typename Pixel>
bool GifCanvas<Pixel>::Clip(const GifRect& area, GifRect* clipped) const {
    // 64-bit sums: descriptor fields reach 65535 each.
    const int64_t left = std::max<int64_t>(area.left, 0);
    const int64_t top = std::max<int64_t>(area.top, 0);
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(area.left) + area.width, width_);
    const int64_t bottom = std::min<int64_t>(static_cast<int64_t>(area.top) + area.height, height_);
    if (left >= right || top >= bottom) return false;
    *clipped = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                static_cast<int>(bottom - top)};
    return true;
}

template <typename Pixel>
void GifCanvas<Pixel>::Fill(const GifRect& area, Pixel colour) {
    GifRect r;
    if (!Clip(area, &r)) return;
    for (int y = r.top; y < r.top + r.height; ++y) {
        Pixel* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
        std::fill(row + r.left, row + r.left + r.width, colour);
    }
}

template <typename Pixel>
bool GifCanvas<Pixel>::SaveArea(const GifRect& area) {
    savedPixels_.clear();
    saved_ = GifRect();
    GifRect r;
    if (!Clip(area, &r)) return true;  // nothing of it is on the canvas: nothing to restore
    try {
        savedPixels_.resize(static_cast<size_t>(Area(r.width, r.height)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < r.height; ++y) {
        const Pixel* row = pixels_.data() + static_cast<size_t>(r.top + y) * static_cast<size_t>(width_) + r.left;
        std::copy(row, row + r.width, savedPixels_.begin() + static_cast<ptrdiff_t>(y) * r.width);
    }
    saved_ = r;
    return true;
}

template <typename Pixel>
void GifCanvas<Pixel>::RestoreArea(const GifRect& /*area*/) {
    const GifRect& r = saved_;
    if (savedPixels_.size() != static_cast<size_t>(Area(r.width, r.height))) return;
    for (int y = 0; y < r.height; ++y) {
        Pixel* row = pixels_.data() + static_cast<size_t>(r.top + y) * static_cast<size_t>(width_) + r.left;
        const auto src = savedPixels_.begin() + static_cast<ptrdiff_t>(y) * r.width;
        std::copy(src, src + r.width, row);
    }
    savedPixels_.clear();
    saved_ = GifRect();
}

template <typename Pixel>
void GifCanvas<Pixel>::Paint(const gdImage& frame, int left, int top) {
    GifRect r;
    if (!Clip({left, top, frame.sx, frame.sy}, &r)) return;
    Pixel colours[gdMaxColors];
    for (int i = 0; i < gdMaxColors; ++i) PixelOf(frame, i, &colours[i]);
    for (int y = r.top; y < r.top + r.height; ++y) {
        Pixel* row = pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
        for (int x = r.left; x < r.left + r.width; ++x) {
            const int index = gdImagePalettePixel(&frame, x - left, y - top);
            if (index == frame.transparent) continue;
            row[x] = colours[index];
        }
    }
}

template class GifCanvas<Rgb>;
template class GifCanvas<uint32_t>;

// ---- GifMemoryReader -----------------------------------------------------------------------

class GifMemoryReader::Ops : public GifCanvasOps {
public:
    Ops(GifMemoryReader& reader, const SnapshotSink& sink) : reader_(reader), sink_(sink) {}

    size_t FrameCount() const override { return reader_.frames_.size(); }
    GifFrameGeometry FrameAt(size_t index) const override { return reader_.frames_[index].geometry; }
    bool SaveArea(const GifRect& area) override { return reader_.canvas_.SaveArea(area); }
    void RestoreArea(const GifRect& area) override { reader_.canvas_.RestoreArea(area); }
    void FillBackground(const GifRect& area) override { reader_.canvas_.Fill(area, reader_.background_); }
    bool PaintFrame(size_t index, const GifRect& area) override {
        const gdImage* picture = reader_.frames_[index].picture.get();
        if (!picture) return false;
        reader_.canvas_.Paint(*picture, area.left, area.top);
        return true;
    }
    bool Snapshot(size_t index) override {
        if (!sink_(reader_.frames_[index].geometry, reader_.canvas_)) return false;
        ++taken;
        return true;
    }

    size_t taken = 0;

private:
    GifMemoryReader& reader_;
    const SnapshotSink& sink_;
};

bool GifMemoryReader::Load(const uint8_t* data, size_t size, const GifReadLimits& limits) {
    Release();
    if (ReadGifLayout(data, size, limits, &layout_) != GifLayoutStatus::Ok) return false;
    if (layout_.frames.empty()) return false;
    if (layout_.framesFound == 1) {
        // A still picture: decoded whole to prove it is one, and not composed.
        std::vector<uint8_t> stream = FrameStream(data, layout_, layout_.frames[0]);
        gdImageOwner picture(gdImageCreateFromGifPtr(static_cast<int>(stream.size()), stream.data()));
        if (!picture) return false;
    } else {
        for (const GifFrameSpan& span : layout_.frames) {
            std::vector<uint8_t> stream = FrameStream(data, layout_, span);
            DecodedFrame frame;
            frame.picture.reset(gdImageCreateFromGifPtr(static_cast<int>(stream.size()), stream.data()));
            if (!frame.picture) continue;
            frame.geometry = span.geometry;
            frames_.push_back(std::move(frame));
        }
        if (frames_.empty()) return false;
    }
    return canvas_.Create(layout_.screenWidth, layout_.screenHeight, fill_);
}

void GifMemoryReader::Release() {
    layout_ = GifLayout();
    frames_.clear();
    canvas_ = GifRgbCanvas();
    current_ = 0;
    stopped_ = false;
}

size_t GifMemoryReader::Compose(const SnapshotSink& snapshot) {
    Ops ops(*this, snapshot);
    current_ = ComposeGifFrames(ops, current_, &stopped_);
    return ops.taken;
}

}  // namespace gifimport
