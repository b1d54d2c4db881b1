// gdImageCreateFromGifPtr: the first image of a GIF in memory. The input may be hostile:
// the block walker checks the structure, the LZW decoder every code, and nothing is
// allocated before the sizes are known to be sane.
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "gif/gif_lzw_decoder.h"

namespace {

using gifcodec::GifFrameBlock;
using gifcodec::GifFrameWalker;

constexpr size_t kMaxStringLength = 4096;  // longest string one LZW code can stand for

// Joins the image data sub-block payloads into one run of bytes.
bool JoinSubBlocks(const uint8_t* data, const GifFrameBlock& frame, std::vector<uint8_t>* out) {
    try {
        out->resize(frame.dataBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t p = frame.dataOffset;
    size_t filled = 0;
    for (;;) {
        const size_t n = data[p++];
        if (n == 0) break;
        std::memcpy(out->data() + filled, data + p, n);
        filled += n;
        p += n;
    }
    return filled == frame.dataBytes;
}

// Rows of an interlaced image arrive in four passes; returns the picture row of the
// i-th row received.
void InterlacedRowOrder(int height, std::vector<int>* order) {
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    order->clear();
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order->push_back(y);
    }
}

}  // namespace

gdImagePtr gdImageCreateFromGifPtr(int size, void* data) {
    if (!data || size <= 0) return nullptr;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    GifFrameWalker walker(bytes, static_cast<size_t>(size));
    GifFrameBlock frame;
    if (!walker.Next(&frame)) return nullptr;
    // The rest of the file must be sound too, down to its trailer.
    while (walker.Next(nullptr)) {
    }
    if (walker.State() != gifcodec::GifWalkState::Trailer) return nullptr;

    const gifcodec::GifScreenInfo& screen = walker.Screen();
    int entries = 0;
    size_t tableOffset = 0;
    if (frame.hasLocalTable) {
        entries = frame.localTableEntries;
        tableOffset = frame.localTableOffset;
    } else if (screen.hasGlobalTable) {
        entries = screen.globalTableEntries;
        tableOffset = screen.globalTableOffset;
    } else {
        return nullptr;  // no colours to show the pixels with
    }

    if (frame.width > gdMaxImageSide || frame.height > gdMaxImageSide) return nullptr;
    const size_t area = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
    if (area > static_cast<size_t>(gdMaxImageArea)) return nullptr;
    // Each code takes at least minCodeSize + 1 bits and stands for at most 4096 pixels:
    // data too short for the area is refused before the picture is allocated.
    const size_t maxCodes = frame.dataBytes * 8 / static_cast<size_t>(frame.minCodeSize + 1);
    if (maxCodes < (area + kMaxStringLength - 1) / kMaxStringLength) return nullptr;

    std::vector<uint8_t> joined;
    if (!JoinSubBlocks(bytes, frame, &joined)) return nullptr;

    gdImageOwner im(gdImageCreate(frame.width, frame.height));
    if (!im) return nullptr;
    if (!frame.interlaced) {
        if (!gifcodec::LzwDecode(joined.data(), joined.size(), frame.minCodeSize, im->pixels.data(), area)) {
            return nullptr;
        }
    } else {
        std::vector<uint8_t> received;
        std::vector<int> order;
        try {
            received.resize(area);
            InterlacedRowOrder(frame.height, &order);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        if (!gifcodec::LzwDecode(joined.data(), joined.size(), frame.minCodeSize, received.data(), area)) {
            return nullptr;
        }
        const size_t w = static_cast<size_t>(frame.width);
        for (size_t i = 0; i < order.size(); ++i) {
            std::memcpy(im->pixels.data() + static_cast<size_t>(order[i]) * w, received.data() + i * w, w);
        }
        im->interlace = 1;
    }

    const uint8_t* table = bytes + tableOffset;
    for (int i = 0; i < entries; ++i) {
        im->red[i] = table[3 * i];
        im->green[i] = table[3 * i + 1];
        im->blue[i] = table[3 * i + 2];
    }
    im->colorsTotal = entries;
    im->transparent = frame.transparentIndex;
    return im.release();
}
