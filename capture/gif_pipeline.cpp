#include "capture/gif_pipeline.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "gif/gd.h"
#include "image/octree_quantizer.h"
#include "image/palette_reducer.h"

namespace gifpipeline {
namespace {

// Pictures reduced ahead of the writer, per thread: enough to keep every thread busy while
// the writer waits on one slow frame, few enough that memory stays near one frame a thread.
constexpr size_t kFramesAheadPerThread = 2;

// One usable frame as the frame work hands it to the writer.
struct EncodedFrame {
    PipelineResult status = PipelineResult::Written;  // OutOfMemory when it could not be made
    bool repeat = false;  // shows the same colours as the frame before: it joins that run
    // Unless a repeat: the frame's block, stored as the rectangle that changed since the
    // frame before, with a delay of 0 until its run is known.
    gdBlockOwner block;
    int blockSize = 0;
    gdBlockOwner header;  // first frame only: the file's header and global table
    int headerSize = 0;
    uint8_t firstPixel = 0;  // what a continuation of a long delay stores
};

// Reduces, compares, diffs and encodes the usable frames on worker threads and on the
// calling thread while it waits. A frame's work needs only its own picture and that of the
// frame before: two equal neighbours show the same colours as the first of their run, and
// the rectangle that changed since the previous written frame is the one that changed since
// the frame just before, as differences are taken by colour. So no frame waits for the
// writer's merging, and the output does not depend on which thread did what.
class FrameWork {
public:
    FrameWork(const std::vector<pixels::DibView>& views, const RGBQUAD* table, bool dither,
              int loops, unsigned threads)
        : views_(views), table_(table), dither_(dither), loops_(loops), slots_(views.size()),
          window_(kFramesAheadPerThread * threads) {
        // Reserved whole, so that nothing under the lock can throw: every frame becomes
        // encodable once, and no more pictures exist than the window plus the one before it.
        encodable_.reserve(slots_.size());
        spare_.reserve(window_ + 2);
        for (unsigned t = 1; t < threads; ++t) {
            try {
                workers_.emplace_back(&FrameWork::WorkerLoop, this);
            } catch (const std::system_error&) {
                break;  // fewer helpers; the calling thread still does all that is left
            }
        }
    }

    ~FrameWork() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& worker : workers_) worker.join();
    }

    FrameWork(const FrameWork&) = delete;
    FrameWork& operator=(const FrameWork&) = delete;

    // Frame k's result, working on whatever is ready meanwhile. The writer takes what it needs
    // from it and calls Consumed(k) before it waits for the next.
    EncodedFrame& Wait(size_t k) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!slots_[k].finished) {
            if (!ownReducer_) ownReducer_.reset(new pixels::PaletteReducer(table_));
            Task task;
            if (TakeTask(task)) {
                lock.unlock();
                Execute(task, *ownReducer_);
                lock.lock();
            } else {
                changed_.wait(lock);
            }
        }
        return slots_[k].out;
    }

    // The writer is done with frame k: the window of reductions moves on.
    void Consumed(size_t k) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[k].out = EncodedFrame();
            consumed_ = k + 1;
        }
        changed_.notify_all();
    }

private:
    enum class Step { Reduce, Encode };
    struct Task {
        Step step = Step::Reduce;
        size_t frame = 0;
    };
    struct Slot {
        gdImageOwner picture;  // kept until this frame's and the next frame's encoding are done
        bool reduced = false;
        bool finished = false;
        EncodedFrame out;
    };

    void WorkerLoop() {
        try {
            pixels::PaletteReducer reducer(table_);
            std::unique_lock<std::mutex> lock(mutex_);
            for (;;) {
                Task task;
                if (stop_) return;
                if (!TakeTask(task)) {
                    changed_.wait(lock);
                    continue;
                }
                lock.unlock();
                Execute(task, reducer);
                lock.lock();
            }
        } catch (const std::bad_alloc&) {
            // This helper ends; the others and the calling thread take over its share.
        }
    }

    // Called with the lock held. Encoding comes first: it frees pictures and feeds the writer.
    bool TakeTask(Task& task) {
        if (nextEncode_ < encodable_.size()) {
            task.step = Step::Encode;
            task.frame = encodable_[nextEncode_++];
            return true;
        }
        if (nextReduce_ < slots_.size() && nextReduce_ < consumed_ + window_) {
            task.step = Step::Reduce;
            task.frame = nextReduce_++;
            return true;
        }
        return false;
    }

    void Execute(const Task& task, pixels::PaletteReducer& reducer) {
        try {
            if (task.step == Step::Reduce)
                Reduce(task.frame, reducer);
            else
                Encode(task.frame);
        } catch (const std::bad_alloc&) {
            Fail(task.frame);
        }
    }

    void Reduce(size_t k, pixels::PaletteReducer& reducer) {
        gdImageOwner picture = TakeSparePicture();
        if (!picture) picture = NewPicture();
        if (!picture) {
            Fail(k);
            return;
        }
        reducer.Reduce(views_[k], dither_, picture->pixels.data(), static_cast<ptrdiff_t>(picture->sx));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            Slot& slot = slots_[k];
            slot.picture = std::move(picture);
            slot.reduced = true;
            // Whichever of two neighbours is reduced second makes the later one encodable.
            if (k == 0 || slots_[k - 1].reduced) encodable_.push_back(k);
            if (k + 1 < slots_.size() && slots_[k + 1].reduced) encodable_.push_back(k + 1);
        }
        changed_.notify_all();
    }

    // Both pictures are left alone by everyone else until this frame is finished.
    void Encode(size_t k) {
        gdImage* current = slots_[k].picture.get();
        gdImage* previous = k > 0 ? slots_[k - 1].picture.get() : nullptr;
        EncodedFrame out;
        out.firstPixel = current->pixels[0];
        out.repeat = previous && gdImageCompare(previous, current) == 0;
        if (!out.repeat) {
            out.block.reset(
                gdImageGifAnimAddPtr(current, &out.blockSize, 0, 0, 0, 0, gdDisposalNone, previous));
            if (!out.block) out.status = PipelineResult::OutOfMemory;
        }
        if (k == 0) {
            out.header.reset(gdImageGifAnimBeginPtr(current, &out.headerSize, 1, loops_));
            if (!out.header) out.status = PipelineResult::OutOfMemory;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[k].out = std::move(out);
            slots_[k].finished = true;
            if (k > 0 && slots_[k - 1].finished) Recycle(slots_[k - 1].picture);
            if (k + 1 == slots_.size() || slots_[k + 1].finished) Recycle(slots_[k].picture);
        }
        changed_.notify_all();
    }

    // The frame cannot be made; the writer stops there with OutOfMemory.
    void Fail(size_t k) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            slots_[k].out = EncodedFrame();
            slots_[k].out.status = PipelineResult::OutOfMemory;
            slots_[k].finished = true;
        }
        changed_.notify_all();
    }

    // Called with the lock held.
    void Recycle(gdImageOwner& picture) {
        if (picture && spare_.size() < spare_.capacity()) spare_.push_back(std::move(picture));
        picture.reset();
    }

    gdImageOwner TakeSparePicture() {
        std::lock_guard<std::mutex> lock(mutex_);
        gdImageOwner picture;
        while (!picture && !spare_.empty()) {
            picture = std::move(spare_.back());
            spare_.pop_back();
        }
        return picture;
    }

    gdImageOwner NewPicture() const {
        gdImageOwner im(gdImageCreate(views_[0].width, views_[0].height));
        if (!im) return im;
        for (int i = 0; i < 256; ++i) {
            im->red[i] = table_[i].rgbRed;
            im->green[i] = table_[i].rgbGreen;
            im->blue[i] = table_[i].rgbBlue;
        }
        im->colorsTotal = 256;
        return im;
    }

    const std::vector<pixels::DibView>& views_;
    const RGBQUAD* table_;
    const bool dither_;
    const int loops_;

    std::mutex mutex_;
    std::condition_variable changed_;  // any task became ready, any frame finished, or stop
    std::vector<Slot> slots_;
    std::vector<size_t> encodable_;  // frames whose picture and the one before are reduced
    size_t nextEncode_ = 0;
    std::vector<gdImageOwner> spare_;
    size_t nextReduce_ = 0;
    size_t consumed_ = 0;
    const size_t window_;
    bool stop_ = false;

    std::unique_ptr<pixels::PaletteReducer> ownReducer_;  // the calling thread's
    std::vector<std::thread> workers_;                    // last: they use all of the above
};

// Writes the file in order as the frames arrive: a frame is written only once the next one
// is known to differ, so a run of identical frames becomes one frame with the summed delay.
class Assembler {
public:
    explicit Assembler(const ByteSink& sink) : sink_(sink) {}

    // Takes the frame's blocks.
    PipelineResult Add(EncodedFrame& frame, int delay) {
        const long long d = delay > 0 ? delay : 0;
        if (frame.header) {
            header_ = std::move(frame.header);
            headerSize_ = frame.headerSize;
        }
        if (frame.repeat && pending_) {
            pendingDelay_ += d;
            return PipelineResult::Written;
        }
        if (pending_) {
            const PipelineResult r = Emit();
            if (r != PipelineResult::Written) return r;
        }
        pending_ = std::move(frame.block);
        pendingSize_ = frame.blockSize;
        pendingFirstPixel_ = frame.firstPixel;
        pendingDelay_ = d;
        return PipelineResult::Written;
    }

    // Writes the frame still waiting and the trailer.
    PipelineResult Finish() {
        if (!pending_) return PipelineResult::NoFrames;
        const PipelineResult r = Emit();
        if (r != PipelineResult::Written) return r;
        int size = 0;
        void* block = gdImageGifAnimEndPtr(&size);
        return Put(gdBlockOwner(block), size);
    }

private:
    PipelineResult Emit() {
        if (header_) {
            const PipelineResult r = Put(std::move(header_), headerSize_);
            if (r != PipelineResult::Written) return r;
        }
        long long rest = pendingDelay_;
        int part = static_cast<int>(std::min<long long>(rest, kMaxFrameDelay));
        SetDelay(static_cast<uint8_t*>(pending_.get()), pendingSize_, part);
        PipelineResult r = Put(std::move(pending_), pendingSize_);
        // The remainder of a long delay: frames that repeat the picture, stored as its first
        // pixel (what a frame that changed nothing stores).
        for (rest -= part; rest > 0 && r == PipelineResult::Written; rest -= part) {
            part = static_cast<int>(std::min<long long>(rest, kMaxFrameDelay));
            r = PutRepeat(part);
        }
        return r;
    }

    PipelineResult PutRepeat(int delay) {
        if (!repeat_) {
            repeat_.reset(gdImageCreate(1, 1));
            if (!repeat_) return PipelineResult::OutOfMemory;
        }
        repeat_->pixels[0] = pendingFirstPixel_;
        int size = 0;
        void* block =
            gdImageGifAnimAddPtr(repeat_.get(), &size, 0, 0, 0, delay, gdDisposalNone, repeat_.get());
        return Put(gdBlockOwner(block), size);
    }

    // A frame block opens with its graphic control extension: 21 F9 04, the flags, then the
    // delay in hundredths, low byte first.
    static void SetDelay(uint8_t* block, int size, int delay) {
        if (!block || size < 6 || block[0] != 0x21 || block[1] != 0xF9) return;
        block[4] = static_cast<uint8_t>(delay & 0xFF);
        block[5] = static_cast<uint8_t>((delay >> 8) & 0xFF);
    }

    PipelineResult Put(gdBlockOwner block, int size) {
        if (!block || size <= 0) return PipelineResult::OutOfMemory;
        if (!sink_(static_cast<const uint8_t*>(block.get()), static_cast<size_t>(size)))
            return PipelineResult::WriteFailed;
        return PipelineResult::Written;
    }

    const ByteSink& sink_;
    gdBlockOwner header_;  // until the first frame is written
    int headerSize_ = 0;
    gdBlockOwner pending_;
    int pendingSize_ = 0;
    uint8_t pendingFirstPixel_ = 0;
    long long pendingDelay_ = 0;
    gdImageOwner repeat_;
};

int LoopValue(int playCount) {
    if (playCount == 1) return -1;  // no loop block
    return playCount > 1 ? playCount - 1 : 0;
}

unsigned ThreadCount(int wanted, size_t frames) {
    unsigned threads = wanted > 0 ? static_cast<unsigned>(wanted) : std::thread::hardware_concurrency();
    if (threads == 0) threads = 1;
    return static_cast<unsigned>(std::min<size_t>(threads, frames));
}

PipelineResult Run(const PipelineFrame* frames, size_t count, const PipelineOptions& options,
                   const ByteSink& sink, const ProgressSink& progress) {
    std::vector<pixels::DibView> usable;
    std::vector<bool> isUsable(count, false);
    for (size_t i = 0; i < count; ++i) {
        pixels::DibView view;
        if (!pixels::DibView::Read(frames[i].dib, view)) continue;
        if (!usable.empty() && (view.width != usable[0].width || view.height != usable[0].height))
            continue;
        usable.push_back(view);
        isUsable[i] = true;
    }
    if (usable.empty()) return PipelineResult::NoFrames;

    // One table for all frames, built in frame order before any frame is reduced; entries the
    // quantizer leaves unused stay black.
    RGBQUAD table[256];
    std::memset(table, 0, sizeof table);
    {
        COctreeQuantizer quantizer(256, 8);
        for (size_t i = 0; i < count; ++i)
            if (isUsable[i]) quantizer.AddImage(frames[i].dib);
        quantizer.FillPalette(table);
    }

    Assembler assembler(sink);
    FrameWork work(usable, table, options.dither, LoopValue(options.playCount),
                   ThreadCount(options.threads, usable.size()));
    const float step = static_cast<float>(35.0 / static_cast<double>(count));
    size_t k = 0;
    for (size_t i = 0; i < count; ++i) {
        if (isUsable[i]) {
            EncodedFrame& frame = work.Wait(k);
            if (frame.status != PipelineResult::Written) return frame.status;
            const PipelineResult r = assembler.Add(frame, frames[i].delay);
            work.Consumed(k++);
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
