// The animated-GIF writer's whole pixel pipeline on 300 reproducible screen-like 580x380
// frames in 24 bits: one palette for all frames, reduction with dithering, merging of
// identical neighbours, frame differences and LZW encoding. Reports the time, megapixels per
// second and the peak memory of the process.
//
// The frames are the GIF benchmark's screen (flat UI colours, text, a gradient, a scrolling
// text area, a dialog, a moving cursor) in true colour, with a small area of smoothly changing
// colours like a playing video, so the palette must approximate and the dithering has work.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/gif_bench_frames.h"
#include "capture/gif_pipeline.h"

namespace {

constexpr int kFrames = 300;
constexpr int kWidth = 580;
constexpr int kHeight = 380;
constexpr int kDelay = 10;
constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

long PeakKilobytes() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;  // kilobytes on Linux
}

// Frame i as plain RGB, top row first.
void RenderRgb(const GifBenchScreen& screen, int index, std::vector<uint8_t>& indexes,
               std::vector<uint8_t>& rgb) {
    screen.Render(index, &indexes);
    const uint8_t (*palette)[3] = screen.Palette();
    rgb.resize(indexes.size() * 3);
    for (size_t i = 0; i < indexes.size(); ++i) std::memcpy(&rgb[i * 3], palette[indexes[i]], 3);
    // The "video": 120 x 90 pixels of smooth colour waves, moving every frame.
    const int left = kWidth - 150, top = 60;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(top + y) * kWidth + left + x) * 3];
            const double t = index * 0.15;
            p[0] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(x * 0.05 + t));
            p[1] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(y * 0.07 + t * 0.7));
            p[2] = static_cast<uint8_t>(127.5 + 127.5 * std::sin((x + y) * 0.03 - t * 1.3));
        }
}

}  // namespace

// Optional argument: a file to write the animation to, for inspection.
int main(int argc, char** argv) {
    const long baseline = PeakKilobytes();
    const GifBenchScreen screen(kWidth, kHeight, 2024);
    std::vector<std::vector<uint8_t>> dibs;
    std::vector<uint8_t> indexes, rgb;
    for (int i = 0; i < kFrames; ++i) {
        RenderRgb(screen, i, indexes, rgb);
        dibs.push_back(gifpipeline::PackRgbAsDib(rgb.data(), kWidth, kHeight, kWidth * 3u));
    }
    std::vector<gifpipeline::PipelineFrame> frames;
    for (const auto& dib : dibs) frames.push_back(gifpipeline::PipelineFrame{dib.data(), kDelay});
    const long withFrames = PeakKilobytes();

    gifpipeline::PipelineOptions options;
    options.dither = true;
    options.playCount = 0;
    std::vector<uint8_t> file;
    double best = 1e9, bestWall = 1e9;
    bool ok = true;
    for (int r = 0; r < kRuns; ++r) {
        const double t0 = CpuSeconds();
        const auto w0 = Clock::now();
        ok = ok && gifpipeline::WriteAnimatedGifToMemory(frames.data(), frames.size(), options, file) ==
                       gifpipeline::PipelineResult::Written;
        best = std::min(best, CpuSeconds() - t0);
        bestWall = std::min(bestWall, std::chrono::duration<double>(Clock::now() - w0).count());
    }
    const long peak = PeakKilobytes();

    if (argc > 1) {
        if (FILE* f = std::fopen(argv[1], "wb")) {
            std::fwrite(file.data(), 1, file.size(), f);
            std::fclose(f);
        }
    }
    const double megapixels = static_cast<double>(kFrames) * kWidth * kHeight / 1e6;
    std::printf("pipeline: %d frames of %dx%d, 24-bit in, dithered, one thread\n", kFrames, kWidth,
                kHeight);
    std::printf("time:     %.3f s CPU (best of %d runs), %.3f s wall; target under 3 s\n", best,
                kRuns, bestWall);
    std::printf("speed:    %.1f megapixels per second\n", megapixels / best);
    std::printf("output:   %zu bytes %s\n", file.size(), ok ? "" : "(FAILED)");
    std::printf("memory:   peak %.1f MB (input frames %.1f MB, pipeline %.1f MB above them)\n",
                peak / 1024.0, (withFrames - baseline) / 1024.0, (peak - withFrames) / 1024.0);
    return ok ? 0 : 1;
}
