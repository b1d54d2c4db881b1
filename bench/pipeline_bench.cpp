// The animated-GIF writer's whole pixel pipeline on reproducible screen-like frames in 24 bits
// (300 of 580 x 380 unless told otherwise): one palette for all frames, reduction with
// dithering, merging of identical neighbours, frame differences and LZW encoding. Times it on
// one thread and on every core (or a given number of threads), checks that both files are the
// same bytes, and reports the times, the speed-up and the peak memory of the process.
//
// The frames are the GIF benchmark's screen (flat UI colours, text, a gradient, a scrolling
// text area, a dialog, a moving cursor) in true colour, with a small area of smoothly changing
// colours like a playing video, so the palette must approximate and the dithering has work.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/gif_bench_frames.h"
#include "capture/gif_pipeline.h"

namespace {

constexpr int kDelay = 10;

using Clock = std::chrono::steady_clock;

struct Settings {
    int frames = 300;
    int width = 580;
    int height = 380;
    int threads = 0;  // the many-thread run; 0: every core
    int runs = 3;
    const char* output = nullptr;
};

double ProcessCpuSeconds() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
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
    const int width = screen.Width();
    screen.Render(index, &indexes);
    const uint8_t (*palette)[3] = screen.Palette();
    rgb.resize(indexes.size() * 3);
    for (size_t i = 0; i < indexes.size(); ++i) std::memcpy(&rgb[i * 3], palette[indexes[i]], 3);
    // The "video": 120 x 90 pixels of smooth colour waves, moving every frame.
    const int left = width - 150, top = 60;
    for (int y = 0; y < 90 && top + y < screen.Height(); ++y)
        for (int x = 0; x < 120; ++x) {
            if (left + x < 0) continue;
            uint8_t* p = &rgb[(static_cast<size_t>(top + y) * width + left + x) * 3];
            const double t = index * 0.15;
            p[0] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(x * 0.05 + t));
            p[1] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(y * 0.07 + t * 0.7));
            p[2] = static_cast<uint8_t>(127.5 + 127.5 * std::sin((x + y) * 0.03 - t * 1.3));
        }
}

struct Timing {
    double wall = 1e9;  // best of the runs
    double cpu = 0;     // of the process, in that run
    uint64_t hash = 0;  // of the file's bytes (FNV-1a), so that no copy of the file is held
    size_t size = 0;
    bool ok = true;
};

Timing Time(const std::vector<gifpipeline::PipelineFrame>& frames, int threads, int runs, FILE* output) {
    gifpipeline::PipelineOptions options;
    options.dither = true;
    options.playCount = 0;
    options.threads = threads;
    Timing timing;
    for (int r = 0; r < runs; ++r) {
        uint64_t hash = 14695981039346656037ull;
        size_t size = 0;
        FILE* copy = r == 0 ? output : nullptr;
        const gifpipeline::ByteSink sink = [&](const uint8_t* data, size_t n) {
            for (size_t i = 0; i < n; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
            size += n;
            return !copy || std::fwrite(data, 1, n, copy) == n;
        };
        const double c0 = ProcessCpuSeconds();
        const auto w0 = Clock::now();
        timing.ok = timing.ok && gifpipeline::WriteAnimatedGif(frames.data(), frames.size(), options, sink) ==
                                     gifpipeline::PipelineResult::Written;
        timing.ok = timing.ok && (r == 0 || (hash == timing.hash && size == timing.size));
        timing.hash = hash;
        timing.size = size;
        const double wall = std::chrono::duration<double>(Clock::now() - w0).count();
        if (wall < timing.wall) {
            timing.wall = wall;
            timing.cpu = ProcessCpuSeconds() - c0;
        }
    }
    return timing;
}

bool ParseArguments(int argc, char** argv, Settings& settings) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--frames" && hasValue) settings.frames = std::atoi(argv[++i]);
        else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &settings.width, &settings.height) != 2) return false;
        } else if (arg == "--threads" && hasValue) settings.threads = std::atoi(argv[++i]);
        else if (arg == "--runs" && hasValue) settings.runs = std::atoi(argv[++i]);
        else if (arg == "--out" && hasValue) settings.output = argv[++i];
        else return false;
    }
    return settings.frames > 0 && settings.width >= 160 && settings.height >= 160 && settings.threads >= 0 &&
           settings.runs > 0;
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    if (!ParseArguments(argc, argv, settings)) {
        std::fprintf(stderr,
                     "usage: pipeline_bench [--frames N] [--size WxH] [--threads N (0: every core)] "
                     "[--runs N] [--out file.gif]\n");
        return 2;
    }
    const long baseline = PeakKilobytes();
    const GifBenchScreen screen(settings.width, settings.height, 2024);
    std::vector<std::vector<uint8_t>> dibs;
    std::vector<uint8_t> indexes, rgb;
    for (int i = 0; i < settings.frames; ++i) {
        RenderRgb(screen, i, indexes, rgb);
        dibs.push_back(gifpipeline::PackRgbAsDib(rgb.data(), settings.width, settings.height,
                                                 static_cast<size_t>(settings.width) * 3));
    }
    std::vector<gifpipeline::PipelineFrame> frames;
    for (const auto& dib : dibs) frames.push_back(gifpipeline::PipelineFrame{dib.data(), kDelay});
    const long withFrames = PeakKilobytes();

    FILE* output = settings.output ? std::fopen(settings.output, "wb") : nullptr;
    const Timing one = Time(frames, 1, settings.runs, nullptr);
    const long peakOne = PeakKilobytes();
    const Timing many = Time(frames, settings.threads, settings.runs, output);
    const long peak = PeakKilobytes();
    if (output) std::fclose(output);
    const int manyThreads = settings.threads > 0
                                ? settings.threads
                                : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const bool same = one.hash == many.hash && one.size == many.size;
    const bool ok = one.ok && many.ok && same;

    const double megapixels = static_cast<double>(settings.frames) * settings.width * settings.height / 1e6;
    std::printf("pipeline:  %d frames of %dx%d, 24-bit in, dithered; best of %d runs\n", settings.frames,
                settings.width, settings.height, settings.runs);
    std::printf("1 thread:  %.3f s wall (%.3f s CPU), %.1f megapixels per second\n", one.wall, one.cpu,
                megapixels / one.wall);
    std::printf("%d threads: %.3f s wall (%.3f s CPU), %.1f megapixels per second\n", manyThreads, many.wall,
                many.cpu, megapixels / many.wall);
    std::printf("speed-up:  %.2fx\n", one.wall / many.wall);
    std::printf("output:    %zu bytes, %s\n", many.size,
                !one.ok || !many.ok ? "FAILED" : (same ? "the same bytes on both" : "DIFFERENT BYTES"));
    std::printf("memory:    peak %.1f MB (input frames %.1f MB; above them %.1f MB on 1 thread, "
                "%.1f MB on %d)\n",
                peak / 1024.0, (withFrames - baseline) / 1024.0, (peakOne - withFrames) / 1024.0,
                (peak - withFrames) / 1024.0, manyThreads);
    return ok ? 0 : 1;
}
