#include "gif/gif_lzw_encoder.h"

#include <cstring>
#include <memory>

namespace gifcodec {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableLimit = 1u << kMaxCodeBits;  // codes 0..4095

// String table: open addressing over (prefix code, byte) keys, linear probing. Each slot packs
// the 20-bit key above the 12-bit code; all ones marks an empty slot (no key/code pair can
// produce it, since a code is always greater than its prefix). At most 3838 entries live in
// 16384 slots, so probe runs stay short; the lookup chain is what limits the speed.
constexpr int kHashBits = 14;
constexpr uint32_t kHashSize = 1u << kHashBits;
constexpr uint32_t kHashMask = kHashSize - 1;
constexpr uint32_t kEmptySlot = 0xFFFFFFFFu;

inline uint32_t HashSlot(uint32_t key) { return (key * 0x9E3779B1u) >> (32 - kHashBits); }

// Packs codes LSB first into 255-byte sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(GifByteBuffer& out) : out_(out) {}

    void Write(uint32_t code, int bits) {
        acc_ |= static_cast<uint64_t>(code) << nbits_;
        nbits_ += bits;
        while (nbits_ >= 8) {
            block_[fill_++] = static_cast<uint8_t>(acc_);
            acc_ >>= 8;
            nbits_ -= 8;
            if (fill_ == 255) FlushBlock();
        }
    }

    // Pads the last byte, writes the last sub-block and the terminator.
    bool Finish() {
        if (nbits_ > 0) {
            block_[fill_++] = static_cast<uint8_t>(acc_);
            acc_ = 0;
            nbits_ = 0;
            if (fill_ == 255) FlushBlock();
        }
        if (fill_ > 0) FlushBlock();
        ok_ = ok_ && out_.Put(0);
        return ok_;
    }

private:
    void FlushBlock() {
        ok_ = ok_ && out_.Put(static_cast<uint8_t>(fill_)) && out_.PutBytes(block_, fill_);
        fill_ = 0;
    }

    GifByteBuffer& out_;
    uint64_t acc_ = 0;
    int nbits_ = 0;
    uint8_t block_[255];
    size_t fill_ = 0;
    bool ok_ = true;
};

}  // namespace

bool LzwEncodeImage(const uint8_t* pixels, int width, int height, ptrdiff_t stride,
                    int minCodeSize, GifByteBuffer& out) {
    if (minCodeSize < 2 || minCodeSize > 8) return false;
    if (!out.Put(static_cast<uint8_t>(minCodeSize))) return false;
    // Screen content usually compresses well; start with room for a third of the pixels.
    const size_t area = (width > 0 && height > 0) ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
    out.Reserve(out.Size() + area / 3 + 64);

    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    const uint32_t pixelMask = clearCode - 1;
    const int firstBits = minCodeSize + 1;

    CodeWriter writer(out);
    writer.Write(clearCode, firstBits);
    if (area == 0) {
        writer.Write(endCode, firstBits);
        return writer.Finish();
    }

    std::unique_ptr<uint32_t[]> table(new (std::nothrow) uint32_t[kHashSize]);
    if (!table) return false;
    std::memset(table.get(), 0xFF, kHashSize * sizeof(uint32_t));

    uint32_t nextCode = endCode + 1;
    int codeBits = firstBits;
    uint32_t prefix = pixels[0] & pixelMask;

    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int x = (y == 0 ? 1 : 0); x < width; ++x) {
            const uint32_t k = row[x] & pixelMask;
            const uint32_t key = (prefix << 8) | k;
            uint32_t slot = HashSlot(key);
            uint32_t entry;
            while ((entry = table[slot]) != kEmptySlot && (entry >> kMaxCodeBits) != key) {
                slot = (slot + 1) & kHashMask;
            }
            if (entry != kEmptySlot) {
                prefix = entry & (kTableLimit - 1);
                continue;
            }
            writer.Write(prefix, codeBits);
            if (nextCode < kTableLimit) {
                table[slot] = (key << kMaxCodeBits) | nextCode;
                ++nextCode;
                // One step ahead of the decoder, which adds this entry on the next code.
                if (nextCode > (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
            } else {
                writer.Write(clearCode, codeBits);
                std::memset(table.get(), 0xFF, kHashSize * sizeof(uint32_t));
                nextCode = endCode + 1;
                codeBits = firstBits;
            }
            prefix = k;
        }
    }
    writer.Write(prefix, codeBits);
    // Reading that code, the decoder adds the entry it still owes and widens when that entry
    // fills the current width; the end code must follow suit.
    if (nextCode == (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
    writer.Write(endCode, codeBits);
    return writer.Finish();
}

}  // namespace gifcodec
