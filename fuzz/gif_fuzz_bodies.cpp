#include "fuzz/gif_fuzz_bodies.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gif/gd.h"
#include "gif/gif_frames.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Re-encoding is worth its time only for small pictures.
constexpr size_t kRoundTripArea = 1 << 16;

std::vector<uint8_t> EncodeSingle(gdImagePtr im, gdImagePtr previous) {
    std::vector<uint8_t> file;
    auto append = [&](void* block, int size) {
        gdBlockOwner owner(block);
        if (!block) Broken("encoder returned no block");
        const uint8_t* p = static_cast<const uint8_t*>(block);
        file.insert(file.end(), p, p + size);
    };
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(im, &size, 1, 0);
    append(block, size);
    block = gdImageGifAnimAddPtr(im, &size, 0, 0, 0, 5, gdDisposalNone, previous);
    append(block, size);
    block = gdImageGifAnimEndPtr(&size);
    append(block, size);
    return file;
}

}  // namespace

int FuzzGifDecode(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) return 0;
    gdImageOwner im(gdImageCreateFromGifPtr(static_cast<int>(size), const_cast<uint8_t*>(data)));
    if (!im) return 0;

    if (im->sx < 1 || im->sy < 1 || im->sx > gdMaxImageSide || im->sy > gdMaxImageSide) Broken("size out of range");
    const size_t area = static_cast<size_t>(im->sx) * static_cast<size_t>(im->sy);
    if (im->pixels.size() != area) Broken("pixel count");
    if (im->colorsTotal < 2 || im->colorsTotal > 256) Broken("colour count");
    if (gifcodec::CountGifFrames(data, size) < 1) Broken("decoded a file the walker finds no frame in");

    if (area <= kRoundTripArea) {
        // What we decoded, we can write and read back unchanged in look.
        const std::vector<uint8_t> file = EncodeSingle(im.get(), nullptr);
        gdImageOwner back(gdImageCreateFromGifPtr(static_cast<int>(file.size()), const_cast<uint8_t*>(file.data())));
        if (!back) Broken("own output refused");
        if (gdImageCompare(im.get(), back.get()) & (GD_CMP_IMAGE | GD_CMP_SIZE_X | GD_CMP_SIZE_Y)) Broken("round trip changed the picture");
        // Against itself nothing differs: a one-pixel frame.
        const std::vector<uint8_t> same = EncodeSingle(back.get(), im.get());
        gifcodec::GifFrameWalker walker(same.data(), same.size());
        gifcodec::GifFrameBlock f;
        if (!walker.Next(&f) || f.width != 1 || f.height != 1) Broken("unchanged frame is not 1x1");
    }
    return 0;
}

int FuzzGifFrames(const uint8_t* data, size_t size) {
    gifcodec::GifFrameWalker walker(data, size);
    gifcodec::GifFrameBlock f;
    int count = 0;
    size_t last = 0;
    while (walker.Next(&f)) {
        ++count;
        if (f.begin < last || f.begin > f.descriptorOffset || f.descriptorOffset >= f.dataOffset ||
            f.dataOffset > f.end || f.end > size) {
            Broken("frame offsets out of order");
        }
        if (f.width < 1 || f.height < 1 || f.minCodeSize < 2 || f.minCodeSize > 11) Broken("frame fields");
        if (f.dataBytes >= f.end - f.dataOffset) Broken("payload larger than its blocks");
        if (f.hasLocalTable && f.localTableOffset + 3 * static_cast<size_t>(f.localTableEntries) > f.dataOffset) {
            Broken("local table overlaps image data");
        }
        last = f.end;
    }
    if (walker.State() == gifcodec::GifWalkState::Walking) Broken("walk stopped without a reason");
    if (walker.HeaderValid() && walker.Screen().headerBytes > size) Broken("header beyond data");
    if (gifcodec::CountGifFrames(data, size) != count) Broken("count differs from walk");
    return 0;
}
