#include "capture/gif_pipeline.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gif/gd.h"
#include "image/palette_reducer.h"
#include "image/octree_quantizer.h"

namespace gifpipeline {
namespace {

// Assembles the file while the frames arrive: a frame is written only once the next one is
// known to differ, so a run of identical frames becomes one frame with the summed delay.
// Three pictures circulate: the last one written (the base of the next difference), the one
// waiting for its run to end, and the one the next frame is reduced into.
class Assembler {
public:
    Assembler(int width, int height, const RGBQUAD* table, int loops, const ByteSink& sink)
        : width_(width), height_(height), loops_(loops), sink_(sink) {
        for (int i = 0; i < 256; ++i) {
            red_[i] = table[i].rgbRed;
            green_[i] = table[i].rgbGreen;
            blue_[i] = table[i].rgbBlue;
        }
    }

    // The picture to reduce the next frame into (width bytes a row, top row first); null when
    // memory is short.
    gdImage* Scratch() {
        if (!scratch_) scratch_ = NewImage();
        return scratch_.get();
    }

    // The scratch picture becomes the next frame.
    PipelineResult Add(int delay) {
        const long long d = delay > 0 ? delay : 0;
        if (pending_ && gdImageCompare(pending_.get(), scratch_.get()) == 0) {
            pendingDelay_ += d;
            return PipelineResult::Written;
        }
        if (pending_) {
            const PipelineResult r = Emit(*pending_, pendingDelay_, written_.get());
            if (r != PipelineResult::Written) return r;
            std::swap(written_, pending_);  // the old base is reused as scratch below
        }
        std::swap(pending_, scratch_);
        pendingDelay_ = d;
        return PipelineResult::Written;
    }

    // Writes the frame still waiting and the trailer.
    PipelineResult Finish() {
        if (!pending_) return PipelineResult::NoFrames;
        const PipelineResult r = Emit(*pending_, pendingDelay_, written_.get());
        if (r != PipelineResult::Written) return r;
        int size = 0;
        void* block = gdImageGifAnimEndPtr(&size);
        return Put(block, size);
    }

private:
    gdImageOwner NewImage() {
        gdImageOwner im(gdImageCreate(width_, height_));
        if (!im) return im;
        for (int i = 0; i < 256; ++i) {
            im->red[i] = red_[i];
            im->green[i] = green_[i];
            im->blue[i] = blue_[i];
        }
        im->colorsTotal = 256;
        return im;
    }

    PipelineResult Emit(gdImage& im, long long delay, gdImage* previous) {
        int size = 0;
        if (!headerWritten_) {
            void* block = gdImageGifAnimBeginPtr(&im, &size, 1, loops_);
            const PipelineResult r = Put(block, size);
            if (r != PipelineResult::Written) return r;
            headerWritten_ = true;
        }
        long long rest = delay;
        int part = static_cast<int>(std::min<long long>(rest, kMaxFrameDelay));
        void* block = gdImageGifAnimAddPtr(&im, &size, 0, 0, 0, part, gdDisposalNone, previous);
        PipelineResult r = Put(block, size);
        // The remainder of a long delay: frames that repeat the picture, stored as one pixel.
        for (rest -= part; rest > 0 && r == PipelineResult::Written; rest -= part) {
            part = static_cast<int>(std::min<long long>(rest, kMaxFrameDelay));
            block = gdImageGifAnimAddPtr(&im, &size, 0, 0, 0, part, gdDisposalNone, &im);
            r = Put(block, size);
        }
        return r;
    }

    PipelineResult Put(void* block, int size) {
        gdBlockOwner owner(block);
        if (!block || size <= 0) return PipelineResult::OutOfMemory;
        if (!sink_(static_cast<const uint8_t*>(block), static_cast<size_t>(size)))
            return PipelineResult::WriteFailed;
        return PipelineResult::Written;
    }

    int width_;
    int height_;
    int loops_;
    const ByteSink& sink_;
    int red_[256];
    int green_[256];
    int blue_[256];
    gdImageOwner written_;
    gdImageOwner pending_;
    gdImageOwner scratch_;
    long long pendingDelay_ = 0;
    bool headerWritten_ = false;
};

int LoopValue(int playCount) {
    if (playCount == 1) return -1;  // no loop block
    return playCount > 1 ? playCount - 1 : 0;
}

PipelineResult Run(const PipelineFrame* frames, size_t count, const PipelineOptions& options,
                   const ByteSink& sink, const ProgressSink& progress) {
    std::vector<pixels::DibView> views(count);
    std::vector<bool> usable(count, false);
    int width = 0, height = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!pixels::DibView::Read(frames[i].dib, views[i])) continue;
        if (width == 0) {
            width = views[i].width;
            height = views[i].height;
        }
        usable[i] = views[i].width == width && views[i].height == height;
    }
    if (width == 0) return PipelineResult::NoFrames;

    // One table for all frames, built before any frame is reduced; entries the quantizer
    // leaves unused stay black.
    RGBQUAD table[256];
    std::memset(table, 0, sizeof table);
    {
        COctreeQuantizer quantizer(256, 8);
        for (size_t i = 0; i < count; ++i)
            if (usable[i]) quantizer.AddImage(frames[i].dib);
        quantizer.FillPalette(table);
    }

    pixels::PaletteReducer reducer(table);
    Assembler assembler(width, height, table, LoopValue(options.playCount), sink);
    const float step = static_cast<float>(35.0 / static_cast<double>(count));
    for (size_t i = 0; i < count; ++i) {
        if (usable[i]) {
            gdImage* target = assembler.Scratch();
            if (!target) return PipelineResult::OutOfMemory;
            reducer.Reduce(views[i], options.dither, target->pixels.data(),
                           static_cast<ptrdiff_t>(width));
            const PipelineResult r = assembler.Add(frames[i].delay);
            if (r != PipelineResult::Written) return r;
        }
        const int percent = static_cast<int>(static_cast<float>(i) * step + 60.0);
        if (percent < 95 && progress && !progress(percent)) return PipelineResult::Cancelled;
    }
    if (progress && !progress(95)) return PipelineResult::Cancelled;
    return assembler.Finish();
}

}  // namespace

PipelineResult WriteAnimatedGif(const PipelineFrame* frames, size_t count,
                                const PipelineOptions& options, const ByteSink& sink,
                                const ProgressSink& progress) {
    if (frames == nullptr || count == 0 || !sink) return PipelineResult::NoFrames;
    try {
        return Run(frames, count, options, sink, progress);
    } catch (const std::bad_alloc&) {
        return PipelineResult::OutOfMemory;
    }
}

PipelineResult WriteAnimatedGifToFile(const PipelineFrame* frames, size_t count,
                                      const PipelineOptions& options, FILE* file,
                                      const ProgressSink& progress) {
    if (file == nullptr) return PipelineResult::WriteFailed;
    const ByteSink sink = [file](const uint8_t* data, size_t size) {
        return std::fwrite(data, 1, size, file) == size;
    };
    return WriteAnimatedGif(frames, count, options, sink, progress);
}

PipelineResult WriteAnimatedGifToMemory(const PipelineFrame* frames, size_t count,
                                        const PipelineOptions& options, std::vector<uint8_t>& out,
                                        const ProgressSink& progress) {
    out.clear();
    const ByteSink sink = [&out](const uint8_t* data, size_t size) {
        out.insert(out.end(), data, data + size);
        return true;
    };
    PipelineResult r;
    try {
        r = WriteAnimatedGif(frames, count, options, sink, progress);
    } catch (const std::bad_alloc&) {
        r = PipelineResult::OutOfMemory;
    }
    if (r != PipelineResult::Written) out.clear();
    return r;
}

std::vector<uint8_t> PackRgbAsDib(const uint8_t* rgb, int width, int height, size_t stride) {
    std::vector<uint8_t> dib;
    if (rgb == nullptr || width < 1 || height < 1 || width > 32767 || height > 32767 ||
        static_cast<long long>(width) * height > (1LL << 26) ||
        stride < static_cast<size_t>(width) * 3)
        return dib;
    const size_t rowBytes = ((static_cast<size_t>(width) * 24 + 31) / 32) * 4;
    dib.assign(sizeof(BITMAPINFOHEADER) + rowBytes * static_cast<size_t>(height), 0);
    BITMAPINFOHEADER header;
    std::memset(&header, 0, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<size_t>(height));
    std::memcpy(dib.data(), &header, sizeof header);
    uint8_t* rows = dib.data() + sizeof header;
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = rgb + stride * static_cast<size_t>(y);
        uint8_t* dst = rows + rowBytes * static_cast<size_t>(height - 1 - y);  // bottom-up
        for (int x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return dib;
}

}  // namespace gifpipeline
