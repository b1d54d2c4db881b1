// The animated-GIF writer's pixel pipeline, free of platform calls: one 256-colour table for
// all frames from the octree quantizer, every frame reduced to it (optionally with
// Floyd-Steinberg dithering), runs of identical neighbours merged into one frame with the
// summed delay, and each frame after the first stored as the rectangle that changed.
//
// Reduction, comparison, difference and encoding of a frame need only the shared table and the
// frame before it, so they run on several threads while the calling thread merges the runs and
// writes the file in order; the bytes are the same whatever the number of threads.
//
// File layout: "GIF89a", the logical screen of the first frame's size with a 256-entry global
// table, a NETSCAPE2.0 loop block unless the GIF plays once, then per frame a graphic control
// extension (disposal 1, the delay, no transparency) and the LZW-coded image, and the trailer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace gifpipeline {

// One input frame: a packed DIB (BITMAPINFOHEADER, colour table, rows) of 8 or 24 bits per
// pixel, and its display time in hundredths of a second.
struct PipelineFrame {
    const void* dib = nullptr;
    int delay = 0;
};

struct PipelineOptions {
    bool dither = true;
    // 0 plays forever; 1 once (no loop block); n >= 2 plays n times.
    int playCount = 0;
    // Threads that work on the frames, the calling thread included; 0 uses every core.
    int threads = 0;
};

enum class PipelineResult {
    Written,      // the whole file went to the sink
    NoFrames,     // no frame was usable; nothing was written
    WriteFailed,  // the sink refused bytes
    Cancelled,    // the progress callback asked to stop
    OutOfMemory,  // a block or picture could not be allocated
};

// Receives the file's bytes in order; false means the write failed and ends the run.
using ByteSink = std::function<bool(const uint8_t* data, size_t size)>;
// Receives progress in percent; false cancels the run.
using ProgressSink = std::function<bool(int percent)>;

// A delay longer than one GIF frame can hold (65535 hundredths) continues in 1 x 1 frames
// that change nothing.
constexpr int kMaxFrameDelay = 65535;

// Writes the animated GIF of the frames to the sink. Frames that are not readable packed DIBs,
// and frames of another size than the first usable one, are left out.
// Progress, on the calling thread and the same for any number of threads: after frame i of n
// is merged or written, (int)(i * (float)(35.0 / n) + 60.0) when below 95; then 95 once every
// frame is. (The caller reports 100 when it is done.) The sink, too, is only called on the
// calling thread; a cancel or a failure returns once the helper threads have stopped.
PipelineResult WriteAnimatedGif(const PipelineFrame* frames, size_t count,
                                const PipelineOptions& options, const ByteSink& sink,
                                const ProgressSink& progress = nullptr);

// The same into a file opened for binary writing (the caller closes it).
PipelineResult WriteAnimatedGifToFile(const PipelineFrame* frames, size_t count,
                                      const PipelineOptions& options, FILE* file,
                                      const ProgressSink& progress = nullptr);

// The same into memory; out holds the file's bytes (empty unless Written).
PipelineResult WriteAnimatedGifToMemory(const PipelineFrame* frames, size_t count,
                                        const PipelineOptions& options, std::vector<uint8_t>& out,
                                        const ProgressSink& progress = nullptr);

// A 24-bit bottom-up packed DIB of plain RGB pixels (3 bytes per pixel, red first, rows
// `stride` bytes apart, top row first). Empty when the size is not a sane picture.
std::vector<uint8_t> PackRgbAsDib(const uint8_t* rgb, int width, int height, size_t stride);

}  // namespace gifpipeline
