// GIF reading and writing through our GIF codec.
#include <cstring>
#include <vector>

#include "gif/gd.h"
#include "gif/gif_frames.h"
#include "image/ximage.h"
#include "image/ximage_codecs.h"

namespace {

// Header, first image and a trailer: lets a file damaged after its first image still show it.
bool FirstFrameStream(const BYTE* data, DWORD size, std::vector<BYTE>& stream) {
    gifcodec::GifFrameWalker walker(data, size);
    gifcodec::GifFrameBlock frame;
    if (!walker.HeaderValid() || !walker.Next(&frame)) return false;
    const size_t header = walker.Screen().headerBytes;
    if (header > size || frame.begin < header || frame.end > size || frame.end <= frame.begin)
        return false;
    stream.assign(data, data + header);
    stream.insert(stream.end(), data + frame.begin, data + frame.end);
    stream.push_back(0x3B);
    return true;
}

bool ImageToDib(const gdImage& im, pixels::PackedDib& out) {
    pixels::PackedDib result;
    if (!result.Create(im.sx, im.sy, 8)) return false;
    if (im.pixels.size() < static_cast<size_t>(im.sx) * static_cast<size_t>(im.sy)) return false;
    RGBQUAD* pal = result.Palette();
    for (int i = 0; i < gdMaxColors; ++i) {
        pal[i].rgbRed = static_cast<BYTE>(im.red[i]);
        pal[i].rgbGreen = static_cast<BYTE>(im.green[i]);
        pal[i].rgbBlue = static_cast<BYTE>(im.blue[i]);
        pal[i].rgbReserved = 0;
    }
    for (int y = 0; y < im.sy; ++y)  // gd rows run top-down, DIB rows bottom-up
        std::memcpy(result.Row(im.sy - 1 - y), &im.pixels[static_cast<size_t>(y) * im.sx],
                    static_cast<size_t>(im.sx));
    out = std::move(result);
    return true;
}

void AppendBlock(void* block, int size, std::vector<BYTE>& out, bool& ok) {
    gdBlockOwner owner(block);
    if (block == nullptr || size <= 0) {
        ok = false;
        return;
    }
    const BYTE* bytes = static_cast<const BYTE*>(block);
    out.insert(out.end(), bytes, bytes + size);
}

}  // namespace

namespace ximage_codecs {

bool GifDecode(const BYTE* data, DWORD size, pixels::PackedDib& out, long& transIndex,
               long& frames) {
    if (data == nullptr || size == 0 || size > kMaxDataBytes) return false;
    gdImageOwner im(gdImageCreateFromGifPtr(static_cast<int>(size), const_cast<BYTE*>(data)));
    if (!im) {
        std::vector<BYTE> first;
        if (!FirstFrameStream(data, size, first)) return false;
        im.reset(gdImageCreateFromGifPtr(static_cast<int>(first.size()), first.data()));
        if (!im) return false;
    }
    if (!ImageToDib(*im, out)) return false;
    transIndex = im->transparent;
    frames = gifcodec::CountGifFrames(data, size);
    if (frames < 1) frames = 1;
    return true;
}

bool GifEncode(const pixels::PackedDib& dib, long transIndex, std::vector<BYTE>& out) {
    if (!dib.IsValid() || dib.BitsPerPixel() != 8) return false;
    const long w = dib.Width();
    const long h = dib.Height();
    std::vector<uint8_t> topDown(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (long y = 0; y < h; ++y)
        std::memcpy(&topDown[static_cast<size_t>(y) * w], dib.Row(h - 1 - y), static_cast<size_t>(w));
    uint8_t rgb[256][3];
    const RGBQUAD* pal = dib.Palette();
    for (int i = 0; i < 256; ++i) {
        rgb[i][0] = pal[i].rgbRed;
        rgb[i][1] = pal[i].rgbGreen;
        rgb[i][2] = pal[i].rgbBlue;
    }
    gdImageOwner im(gdImageCreateFromIndexed(static_cast<int>(w), static_cast<int>(h), topDown.data(),
                                             static_cast<size_t>(w), rgb, 256));
    if (!im) return false;
    im->transparent = (transIndex >= 0 && transIndex < 256) ? static_cast<int>(transIndex) : -1;

    out.clear();
    bool ok = true;
    int size = 0;
    void* block = gdImageGifAnimBeginPtr(im.get(), &size, 1, -1);
    AppendBlock(block, size, out, ok);
    if (ok) {
        size = 0;
        block = gdImageGifAnimAddPtr(im.get(), &size, 0, 0, 0, 0, gdDisposalNone, nullptr);
        AppendBlock(block, size, out, ok);
    }
    if (ok) {
        size = 0;
        block = gdImageGifAnimEndPtr(&size);
        AppendBlock(block, size, out, ok);
    }
    if (!ok) out.clear();
    return ok;
}

}  // namespace ximage_codecs
