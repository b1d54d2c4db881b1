// libFuzzer target: the GIF import's block walk, single-frame streams and composition
// (recorder/gif_compose.h) on arbitrary bytes. Aborts when an invariant breaks.
// Built with KELVO_GIF_READER_REPLAY it is a plain program that runs the same checks over the
// files of the given folders (or files), so an ordinary build replays the seed corpus.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gif/gif_compose.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "gif_reader_fuzzer: invariant broken: %s\n", what);
    std::abort();
}

// Narrower than the program's bounds so that each run stays fast; the logic is the same.
gifimport::GifReadLimits FuzzLimits() {
    gifimport::GifReadLimits limits;
    limits.maxFileBytes = 1u << 20;
    limits.maxScreenSide = 1024;
    limits.memoryBudget = 48u << 20;
    limits.maxFrames = 200;
    return limits;
}

void CheckLayout(const uint8_t* data, size_t size, const gifimport::GifReadLimits& limits,
                 const gifimport::GifLayout& layout) {
    Check(layout.framesFound >= 1, "a listed file has a frame");
    Check(layout.frames.size() <= layout.framesFound, "no more frames kept than found");
    Check(layout.frames.size() <= limits.maxFrames, "frame limit");
    Check(layout.framesFound <= limits.maxFrames + 1, "the walk stops after the frame limit");
    Check(layout.screenWidth >= 1 && layout.screenWidth <= limits.maxScreenSide, "screen width");
    Check(layout.screenHeight >= 1 && layout.screenHeight <= limits.maxScreenSide, "screen height");
    Check(layout.headerBytes >= 13 && layout.headerBytes <= size, "header inside the data");
    const uint64_t snapshot = 3ull * static_cast<uint64_t>(layout.screenWidth) * static_cast<uint64_t>(layout.screenHeight);
    uint64_t held = 0;
    size_t previousEnd = layout.headerBytes;
    for (const gifimport::GifFrameSpan& span : layout.frames) {
        Check(span.begin >= previousEnd && span.begin < span.end && span.end <= size, "frame inside the data, in order");
        Check(data[span.begin] == 0x21 || data[span.begin] == 0x2C, "frame starts at a block");
        Check(span.geometry.disposal >= 0 && span.geometry.disposal <= 7, "disposal");
        Check(span.geometry.delay >= -1 && span.geometry.delay <= 65535, "delay");
        Check(span.geometry.rect.width >= 1 && span.geometry.rect.height >= 1, "frame size");
        held += snapshot + 4ull * static_cast<uint64_t>(span.geometry.rect.width) * static_cast<uint64_t>(span.geometry.rect.height);
        previousEnd = span.end;
    }
    Check(held <= limits.memoryBudget, "memory budget");
    if (!layout.frames.empty()) {
        const gifimport::GifFrameSpan& last = layout.frames.back();
        const std::vector<uint8_t> stream = gifimport::FrameStream(data, layout, last);
        Check(stream.size() == gifimport::FrameStreamSize(layout, last), "stream size");
        Check(std::memcmp(stream.data(), data, layout.headerBytes) == 0, "stream header");
        Check(std::memcmp(stream.data() + layout.headerBytes, data + last.begin, last.end - last.begin) == 0, "stream frame");
        Check(stream.back() == 0x3B, "stream trailer");
    }
}

void CheckComposition(const uint8_t* data, size_t size, const gifimport::GifReadLimits& limits,
                      const gifimport::GifLayout& layout) {
    const gifimport::Rgb fill{1, 2, 3};
    const gifimport::Rgb background{4, 5, 6};
    gifimport::GifMemoryReader reader(fill, background);
    if (!reader.Load(data, size, limits)) return;
    size_t snapshots = 0;
    reader.Compose([&](const gifimport::GifFrameGeometry& frame, const gifimport::GifRgbCanvas& canvas) {
        Check(canvas.Width() == layout.screenWidth && canvas.Height() == layout.screenHeight, "canvas size");
        Check(frame.disposal >= 0 && frame.disposal <= 7, "snapshot frame");
        ++snapshots;
        return true;
    });
    Check(snapshots <= layout.frames.size(), "one snapshot per frame at most");
    Check(reader.IsAnimated() ? snapshots == reader.FrameTotal() : snapshots <= 1, "every decoded frame composed");
    Check(!reader.StoppedEarly(), "no snapshot refused");
    const size_t again = reader.Compose([](const gifimport::GifFrameGeometry&, const gifimport::GifRgbCanvas&) { return true; });
    Check(again == 0, "a drained reader hands out nothing");
}

void CheckFit(const uint8_t* data, size_t size) {
    if (size < 8) return;
    auto le16 = [data](size_t i) { return static_cast<int>(data[i] | (data[i + 1] << 8)) - 8; };
    const int w = le16(0), h = le16(2), boxW = le16(4), boxH = le16(6);
    gifimport::GifFit fit;
    const bool ok = gifimport::FitIntoBox(w, h, boxW, boxH, &fit);
    Check(ok == (w >= 1 && h >= 1 && boxW >= 1 && boxH >= 1), "fit refuses exactly the empty sizes");
    if (!ok) return;
    Check(fit.width >= 1 && fit.height >= 1, "fitted size");
    Check(fit.width <= w && fit.height <= h, "never enlarged");
    Check(fit.width <= boxW && fit.height <= boxH, "fits inside the box");
    Check(fit.offsetX <= 0 && fit.offsetY <= 0, "offsets centre");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const gifimport::GifReadLimits limits = FuzzLimits();
    gifimport::GifLayout layout;
    const gifimport::GifLayoutStatus status = gifimport::ReadGifLayout(data, size, limits, &layout);
    if (status == gifimport::GifLayoutStatus::Ok) {
        CheckLayout(data, size, limits, layout);
        CheckComposition(data, size, limits, layout);
    } else {
        Check(layout.frames.empty(), "a refused file lists no frame");
    }
    CheckFit(data, size);
    return 0;
}

#ifdef KELVO_GIF_READER_REPLAY
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

void Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            for (const auto& entry : fs::directory_iterator(arg, ec)) {
                if (!entry.is_regular_file()) continue;
                Replay(entry.path());
                ++files;
            }
        } else if (fs::is_regular_file(arg, ec)) {
            Replay(arg);
            ++files;
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 ? 0 : 1;
}
#endif
