#include "tests/gif/gif_file_builder.h"

#include <algorithm>
#include <stdexcept>

#include "gif/gif_byte_buffer.h"
#include "gif/gif_lzw_encoder.h"

namespace giftest {

std::vector<Rgb> DistinctPalette(int n, uint32_t seed) {
    std::vector<Rgb> out;
    Lcg rng(seed);
    while (static_cast<int>(out.size()) < n) {
        const uint32_t v = rng.Next();
        const Rgb c{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16)};
        bool seen = false;
        for (const Rgb& o : out) seen = seen || o == c;
        if (!seen) out.push_back(c);
    }
    return out;
}

std::vector<uint8_t> RandomPixels(int w, int h, int colours, uint32_t seed) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
    Lcg rng(seed);
    for (uint8_t& p : px) p = static_cast<uint8_t>(rng.Below(colours));
    return px;
}

std::vector<uint8_t> PackCodes(const std::vector<std::pair<uint32_t, int>>& codes) {
    std::vector<uint8_t> out;
    uint64_t acc = 0;
    int nbits = 0;
    for (const auto& c : codes) {
        acc |= static_cast<uint64_t>(c.first) << nbits;
        nbits += c.second;
        while (nbits >= 8) {
            out.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            nbits -= 8;
        }
    }
    if (nbits > 0) out.push_back(static_cast<uint8_t>(acc));
    return out;
}

std::vector<uint8_t> ImageData(int minCodeSize, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out{static_cast<uint8_t>(minCodeSize)};
    for (size_t i = 0; i < payload.size(); i += 255) {
        const size_t n = std::min<size_t>(255, payload.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), payload.begin() + static_cast<ptrdiff_t>(i),
                   payload.begin() + static_cast<ptrdiff_t>(i + n));
    }
    out.push_back(0);
    return out;
}

int TableSizeBits(size_t n) {
    int bits = 0;
    while ((2u << bits) < n) ++bits;
    return bits;
}

GifFileBuilder::GifFileBuilder(int screenW, int screenH, const std::vector<Rgb>& globalTable, const char* version) {
    for (int i = 0; i < 6; ++i) bytes_.push_back(static_cast<uint8_t>(version[i]));
    Le16(screenW);
    Le16(screenH);
    bytes_.push_back(globalTable.empty() ? 0x70 : static_cast<uint8_t>(0xF0 | TableSizeBits(globalTable.size())));
    bytes_.push_back(0);
    bytes_.push_back(0);
    if (!globalTable.empty()) PutTable(globalTable);
}

void GifFileBuilder::Le16(int v) {
    bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void GifFileBuilder::PutTable(const std::vector<Rgb>& table) {
    const size_t entries = 2u << TableSizeBits(table.size());
    for (size_t i = 0; i < entries; ++i) {
        const Rgb c = i < table.size() ? table[i] : Rgb{};
        bytes_.push_back(c.r);
        bytes_.push_back(c.g);
        bytes_.push_back(c.b);
    }
}

GifFileBuilder& GifFileBuilder::Control(int disposal, int delay, int transparentIndex) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 0x04});
    bytes_.push_back(static_cast<uint8_t>((disposal << 2) | (transparentIndex >= 0 ? 1 : 0)));
    Le16(delay);
    bytes_.push_back(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
    bytes_.push_back(0);
    return *this;
}

GifFileBuilder& GifFileBuilder::Comment(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0xFE});
    const std::vector<uint8_t> payload(text.begin(), text.end());
    const std::vector<uint8_t> blocks = ImageData(0, payload);
    bytes_.insert(bytes_.end(), blocks.begin() + 1, blocks.end());  // without the code size byte
    return *this;
}

GifFileBuilder& GifFileBuilder::Loop(int count) {
    static const uint8_t kHead[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01};
    bytes_.insert(bytes_.end(), kHead, kHead + sizeof kHead);
    Le16(count);
    bytes_.push_back(0);
    return *this;
}

GifFileBuilder& GifFileBuilder::PlainText() {
    // Grid at (0,0) 8x8, cells 8x8, colours 1 on 0, text "Hi".
    bytes_.insert(bytes_.end(), {0x21, 0x01, 0x0C, 0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0, 0x02, 'H', 'i', 0x00});
    return *this;
}

GifFileBuilder& GifFileBuilder::Image(int left, int top, int w, int h, const std::vector<uint8_t>& pixels,
                                      const std::vector<Rgb>& localTable, bool interlaced, int minCodeSize) {
    uint8_t flags = interlaced ? 0x40 : 0x00;
    if (!localTable.empty()) flags = static_cast<uint8_t>(flags | 0x80 | TableSizeBits(localTable.size()));
    bytes_.push_back(0x2C);
    Le16(left);
    Le16(top);
    Le16(w);
    Le16(h);
    bytes_.push_back(flags);
    if (!localTable.empty()) PutTable(localTable);

    std::vector<uint8_t> sent;
    if (interlaced) {
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int y = kStart[pass]; y < h; y += kStep[pass]) {
                sent.insert(sent.end(), pixels.begin() + static_cast<ptrdiff_t>(y) * w,
                            pixels.begin() + static_cast<ptrdiff_t>(y + 1) * w);
            }
        }
    } else {
        sent = pixels;
    }
    gifcodec::GifByteBuffer data;
    if (!gifcodec::LzwEncodeImage(sent.data(), w, h, w, minCodeSize, data)) throw std::runtime_error("LZW encoding failed");
    bytes_.insert(bytes_.end(), data.Data(), data.Data() + data.Size());
    return *this;
}

GifFileBuilder& GifFileBuilder::RawImage(int left, int top, int w, int h, uint8_t flags,
                                         const std::vector<uint8_t>& imageData) {
    bytes_.push_back(0x2C);
    Le16(left);
    Le16(top);
    Le16(w);
    Le16(h);
    bytes_.push_back(flags);
    bytes_.insert(bytes_.end(), imageData.begin(), imageData.end());
    return *this;
}

GifFileBuilder& GifFileBuilder::Bytes(const std::vector<uint8_t>& raw) {
    bytes_.insert(bytes_.end(), raw.begin(), raw.end());
    return *this;
}

GifFileBuilder& GifFileBuilder::Trailer() {
    bytes_.push_back(0x3B);
    return *this;
}

}  // namespace giftest
