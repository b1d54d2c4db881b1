// Encodes 300 screen-like 580x380 frames as an animation, each frame against the previous
// one, with our codec and with the system's libgd (loaded at run time so its gd... names do
// not meet ours), and reports time and size of both.
#include <dlfcn.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/gif_bench_frames.h"
#include "gif/gd.h"
#include "gif/gif_frames.h"

namespace {

constexpr int kFrames = 300;
constexpr int kWidth = 580;
constexpr int kHeight = 380;
constexpr int kDelay = 10;
constexpr int kRuns = 5;  // best of

// CPU time of this thread: other work on the machine disturbs it less than wall time.
double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// libgd's calls, by its documented signatures; images are opaque here.
struct LibGd {
    void* handle = nullptr;
    void* (*create)(int, int) = nullptr;
    int (*colorAllocate)(void*, int, int, int) = nullptr;
    void (*setPixel)(void*, int, int, int) = nullptr;
    void* (*animBegin)(void*, int*, int, int) = nullptr;
    void* (*animAdd)(void*, int*, int, int, int, int, int, void*) = nullptr;
    void* (*animEnd)(int*) = nullptr;
    void (*free)(void*) = nullptr;
    void (*destroy)(void*) = nullptr;

    bool Load() {
        handle = dlopen("libgd.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!handle) return false;
        bool ok = true;
        auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
            ok = ok && fn != nullptr;
        };
        get(create, "gdImageCreate");
        get(colorAllocate, "gdImageColorAllocate");
        get(setPixel, "gdImageSetPixel");
        get(animBegin, "gdImageGifAnimBeginPtr");
        get(animAdd, "gdImageGifAnimAddPtr");
        get(animEnd, "gdImageGifAnimEndPtr");
        get(free, "gdFree");
        get(destroy, "gdImageDestroy");
        return ok;
    }
    ~LibGd() {
        if (handle) dlclose(handle);
    }
};

template <typename Begin, typename Add, typename End, typename Free>
std::vector<uint8_t> EncodeAll(const std::vector<void*>& frames, Begin begin, Add add, End end, Free release) {
    std::vector<uint8_t> file;
    auto append = [&](void* block, int size) {
        if (!block) return;
        const uint8_t* p = static_cast<const uint8_t*>(block);
        file.insert(file.end(), p, p + size);
        release(block);
    };
    int size = 0;
    void* block = begin(frames[0], &size);
    append(block, size);
    for (size_t i = 0; i < frames.size(); ++i) {
        block = add(frames[i], &size, i ? frames[i - 1] : nullptr);
        append(block, size);
    }
    block = end(&size);
    append(block, size);
    return file;
}

// Composes the file's frames with our walker and decoder; true when every frame equals its source.
bool ComposesTo(const std::vector<uint8_t>& file, const std::vector<std::vector<uint8_t>>& sources,
                const uint8_t (*palette)[3]) {
    gifcodec::GifFrameWalker walker(file.data(), file.size());
    std::vector<uint8_t> canvas(static_cast<size_t>(kWidth) * kHeight, 0);
    gifcodec::GifFrameBlock f;
    size_t index = 0;
    while (walker.Next(&f)) {
        std::vector<uint8_t> single(file.begin(), file.begin() + static_cast<ptrdiff_t>(walker.Screen().headerBytes));
        single.insert(single.end(), file.begin() + static_cast<ptrdiff_t>(f.begin), file.begin() + static_cast<ptrdiff_t>(f.end));
        single.push_back(0x3B);
        gdImageOwner part(gdImageCreateFromGifPtr(static_cast<int>(single.size()), single.data()));
        if (!part || index >= sources.size()) return false;
        for (int y = 0; y < f.height; ++y)
            std::copy_n(&part->pixels[static_cast<size_t>(y) * f.width], f.width, &canvas[static_cast<size_t>(f.top + y) * kWidth + f.left]);
        // By colour: the file's palette is the global one, the same for every frame.
        const std::vector<uint8_t>& want = sources[index];
        for (size_t i = 0; i < canvas.size(); ++i) {
            const uint8_t a = canvas[i], b = want[i];
            if (part->red[a] != palette[b][0] || part->green[a] != palette[b][1] || part->blue[a] != palette[b][2]) return false;
        }
        ++index;
    }
    return index == sources.size() && walker.State() == gifcodec::GifWalkState::Trailer;
}

void Save(const char* dir, const char* name, const std::vector<uint8_t>& file) {
    if (!dir) return;
    const std::string path = std::string(dir) + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
}

}  // namespace

// Optional argument: a folder to write both animations to, for inspection.
int main(int argc, char** argv) {
    const char* saveDir = argc > 1 ? argv[1] : nullptr;
    const GifBenchScreen screen(kWidth, kHeight, 2024);
    const uint8_t (*palette)[3] = screen.Palette();
    // Identical neighbours are merged before encoding, as the GIF writer does.
    std::vector<std::vector<uint8_t>> sources;
    std::vector<uint8_t> px;
    for (int i = 0; i < kFrames; ++i) {
        screen.Render(i, &px);
        if (sources.empty() || px != sources.back()) sources.push_back(px);
    }

    std::vector<gdImageOwner> ours;
    std::vector<void*> ourFrames;
    for (const auto& px : sources) {
        ours.emplace_back(gdImageCreateFromIndexed(kWidth, kHeight, px.data(), kWidth, palette, 256));
        ourFrames.push_back(ours.back().get());
    }
    auto ourBegin = [](void* im, int* size) { return gdImageGifAnimBeginPtr(static_cast<gdImagePtr>(im), size, 1, 0); };
    auto ourAdd = [](void* im, int* size, void* prev) {
        return gdImageGifAnimAddPtr(static_cast<gdImagePtr>(im), size, 0, 0, 0, kDelay, gdDisposalNone, static_cast<gdImagePtr>(prev));
    };
    auto ourEnd = [](int* size) { return gdImageGifAnimEndPtr(size); };

    double ourBest = 1e9;
    std::vector<uint8_t> ourFile;
    for (int r = 0; r < kRuns; ++r) {
        const double t0 = CpuSeconds();
        ourFile = EncodeAll(ourFrames, ourBegin, ourAdd, ourEnd, gdFree);
        ourBest = std::min(ourBest, CpuSeconds() - t0);
    }
    const bool ourOk = ComposesTo(ourFile, sources, palette);
    Save(saveDir, "ours.gif", ourFile);
    std::printf("frames: %d of %dx%d rendered, %zu after merging identical ones, 256 colours, each against the previous\n",
                kFrames, kWidth, kHeight, sources.size());
    std::printf("times: best of %d runs, thread CPU time of the Begin/Add/End calls\n", kRuns);
    std::printf("ours:  %8.1f ms  %9zu bytes  %s\n", ourBest * 1000, ourFile.size(), ourOk ? "decodes to every frame" : "MISMATCH");

    LibGd gd;
    if (!gd.Load()) {
        std::printf("libgd: libgd.so.3 not found (install libgd3 or libgd-dev); only our figures reported\n");
        return ourOk ? 0 : 1;
    }
    std::vector<void*> gdFrames;
    for (const auto& px : sources) {
        void* im = gd.create(kWidth, kHeight);
        for (int i = 0; i < 256; ++i) gd.colorAllocate(im, palette[i][0], palette[i][1], palette[i][2]);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) gd.setPixel(im, x, y, px[static_cast<size_t>(y) * kWidth + x]);
        gdFrames.push_back(im);
    }
    auto gdBegin = [&](void* im, int* size) { return gd.animBegin(im, size, 1, 0); };
    auto gdAdd = [&](void* im, int* size, void* prev) { return gd.animAdd(im, size, 0, 0, 0, kDelay, gdDisposalNone, prev); };
    auto gdEnd = [&](int* size) { return gd.animEnd(size); };
    double gdBest = 1e9;
    std::vector<uint8_t> gdFile;
    for (int r = 0; r < kRuns; ++r) {
        const double t0 = CpuSeconds();
        gdFile = EncodeAll(gdFrames, gdBegin, gdAdd, gdEnd, gd.free);
        gdBest = std::min(gdBest, CpuSeconds() - t0);
    }
    for (void* im : gdFrames) gd.destroy(im);
    const bool gdOk = ComposesTo(gdFile, sources, palette);
    Save(saveDir, "libgd.gif", gdFile);
    std::printf("libgd: %8.1f ms  %9zu bytes  %s\n", gdBest * 1000, gdFile.size(), gdOk ? "decodes to every frame" : "MISMATCH");
    std::printf("speed: ours %.2fx faster; size: ours %.4f of libgd's\n", gdBest / ourBest,
                static_cast<double>(ourFile.size()) / static_cast<double>(gdFile.size()));
    return ourOk && gdOk ? 0 : 1;
}
