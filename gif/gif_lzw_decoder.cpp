#include "gif/gif_lzw_decoder.h"

#include <memory>

namespace gifcodec {
namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableLimit = 1u << kMaxCodeBits;

struct StringTable {
    uint16_t prefix[kTableLimit];
    uint16_t length[kTableLimit];
    uint8_t suffix[kTableLimit];
    uint8_t first[kTableLimit];
};

class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // False when the data ends before `bits` more bits.
    bool Read(int bits, uint32_t* code) {
        while (nbits_ < bits) {
            if (pos_ >= size_) return false;
            acc_ |= static_cast<uint32_t>(data_[pos_++]) << nbits_;
            nbits_ += 8;
        }
        *code = acc_ & ((1u << bits) - 1);
        acc_ >>= bits;
        nbits_ -= bits;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    uint32_t acc_ = 0;
    int nbits_ = 0;
};

}  // namespace

bool LzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t count) {
    if (minCodeSize < 2 || minCodeSize > 11) return false;
    if (count == 0) return true;
    std::unique_ptr<StringTable> table(new (std::nothrow) StringTable);
    if (!table) return false;
    StringTable& t = *table;

    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    for (uint32_t c = 0; c < clearCode && c < 256; ++c) {
        t.prefix[c] = 0;
        t.length[c] = 1;
        t.suffix[c] = static_cast<uint8_t>(c);
        t.first[c] = static_cast<uint8_t>(c);
    }

    CodeReader reader(data, size);
    uint32_t nextCode = endCode + 1;
    int codeBits = minCodeSize + 1;
    bool havePrev = false;
    uint32_t prev = 0;
    size_t pos = 0;

    while (pos < count) {
        uint32_t code;
        if (!reader.Read(codeBits, &code)) return false;
        if (code == clearCode) {
            nextCode = endCode + 1;
            codeBits = minCodeSize + 1;
            havePrev = false;
            continue;
        }
        if (code == endCode) return false;  // ended before the image was complete
        if (code < clearCode) {
            if (code > 255) return false;  // no byte holds that pixel
        } else if (code > nextCode || (code == nextCode && !havePrev)) {
            return false;
        }
        if (!havePrev) {
            if (code >= clearCode) return false;
            out[pos++] = static_cast<uint8_t>(code);
            prev = code;
            havePrev = true;
            continue;
        }
        // Add the entry first (prefix = previous string, suffix = first byte of this one);
        // for code == nextCode this makes the code itself decodable.
        if (nextCode < kTableLimit) {
            const uint8_t firstByte = (code == nextCode) ? t.first[prev] : t.first[code];
            t.prefix[nextCode] = static_cast<uint16_t>(prev);
            t.suffix[nextCode] = firstByte;
            t.first[nextCode] = t.first[prev];
            t.length[nextCode] = static_cast<uint16_t>(t.length[prev] + 1);
            ++nextCode;
            if (nextCode == (1u << codeBits) && codeBits < kMaxCodeBits) ++codeBits;
        }

        // Write the string back to front; past the last pixel only the part that fits.
        const size_t len = t.length[code];
        size_t end = pos + len;
        uint32_t c = code;
        if (end > count) {
            for (size_t skip = end - count; skip > 0; --skip) c = t.prefix[c];
            end = count;
        }
        for (size_t p = end; p > pos;) {
            out[--p] = t.suffix[c];
            c = t.prefix[c];
        }
        pos = end;
        prev = code;
    }
    return true;
}

}  // namespace gifcodec
