// Animated GIF assembly: header, frame and trailer blocks.
#include <cstring>

#include "gif/gd.h"
#include "gif/gd_colour_keys.h"
#include "gif/gif_byte_buffer.h"
#include "gif/gif_frame_diff.h"
#include "gif/gif_lzw_encoder.h"

namespace {

using gifcodec::GifByteBuffer;

constexpr int kTableEntries = 256;  // tables are always written whole
constexpr int kMinCodeSize = 8;

int Clamp16(int v) { return v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v); }

bool PutColourTable(const gdImage& im, GifByteBuffer& out) {
    uint8_t table[3 * kTableEntries];
    for (int i = 0; i < kTableEntries; ++i) {
        const uint32_t c = gifcodec::RgbKey(im, i);
        table[3 * i] = static_cast<uint8_t>(c >> 16);
        table[3 * i + 1] = static_cast<uint8_t>(c >> 8);
        table[3 * i + 2] = static_cast<uint8_t>(c);
    }
    return out.PutBytes(table, sizeof table);
}

void* Finish(GifByteBuffer& out, bool ok, int* size) {
    if (!ok) {
        if (size) *size = 0;
        return nullptr;
    }
    return out.Release(size);
}

}  // namespace

void* gdImageGifAnimBeginPtr(gdImagePtr im, int* size, int GlobalCM, int Loops) {
    if (size) *size = 0;
    if (!im) return nullptr;
    GifByteBuffer out;
    bool ok = out.Reserve(13 + 3 * kTableEntries + 19);
    ok = ok && out.PutBytes("GIF89a", 6) && out.PutLe16(im->sx) && out.PutLe16(im->sy);
    // Colour resolution 8 bits; with a global table of 256 entries.
    ok = ok && out.Put(GlobalCM ? 0xF7 : 0x70) && out.Put(0) && out.Put(0);
    if (GlobalCM) ok = ok && PutColourTable(*im, out);
    if (Loops >= 0) {
        static const uint8_t kLoopHead[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                                            '2',  '.',  '0',  0x03, 0x01};
        ok = ok && out.PutBytes(kLoopHead, sizeof kLoopHead) && out.PutLe16(Clamp16(Loops)) && out.Put(0);
    }
    return Finish(out, ok, size);
}

void* gdImageGifAnimAddPtr(gdImagePtr im, int* size, int LocalCM, int LeftOfs, int TopOfs,
                           int Delay, int Disposal, gdImagePtr previm) {
    if (size) *size = 0;
    if (!im) return nullptr;

    gifcodec::GifRect rect;
    rect.width = im->sx;
    rect.height = im->sy;
    if (previm && previm->sx == im->sx && previm->sy == im->sy) {
        if (!gifcodec::FindChangedRect(*im, *previm, &rect)) {
            // Nothing changed: one unchanged pixel keeps the frame, and its delay, in the file.
            rect = gifcodec::GifRect{0, 0, 1, 1};
        }
    }

    const int disposal = (Disposal >= 0 && Disposal <= 7) ? Disposal : 0;
    const bool transparent = im->transparent >= 0 && im->transparent < gdMaxColors;
    GifByteBuffer out;
    bool ok = out.Reserve(8 + 10 + (LocalCM ? 3 * kTableEntries : 0) + 64);
    // Graphic control extension.
    ok = ok && out.Put(0x21) && out.Put(0xF9) && out.Put(0x04) &&
         out.Put(static_cast<uint8_t>((disposal << 2) | (transparent ? 1 : 0))) && out.PutLe16(Clamp16(Delay)) &&
         out.Put(transparent ? static_cast<uint8_t>(im->transparent) : 0xFF) && out.Put(0);
    // Image descriptor.
    ok = ok && out.Put(0x2C) && out.PutLe16(Clamp16(LeftOfs + rect.x)) && out.PutLe16(Clamp16(TopOfs + rect.y)) &&
         out.PutLe16(rect.width) && out.PutLe16(rect.height) && out.Put(LocalCM ? 0x87 : 0x00);
    if (LocalCM) ok = ok && PutColourTable(*im, out);

    const uint8_t* origin = im->pixels.data() + static_cast<size_t>(rect.y) * static_cast<size_t>(im->sx) +
                            static_cast<size_t>(rect.x);
    ok = ok && gifcodec::LzwEncodeImage(origin, rect.width, rect.height, im->sx, kMinCodeSize, out);
    return Finish(out, ok, size);
}

void* gdImageGifAnimEndPtr(int* size) {
    if (size) *size = 0;
    GifByteBuffer out;
    const bool ok = out.Put(0x3B);
    return Finish(out, ok, size);
}
