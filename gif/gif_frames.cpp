#include "gif/gif_frames.h"

#include <cstring>

namespace gifcodec {
namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr size_t kScreenDescriptorEnd = 13;
constexpr size_t kImageDescriptorBytes = 10;

inline int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

GifFrameWalker::GifFrameWalker(const void* data, size_t size)
    : data_(static_cast<const uint8_t*>(data)), size_(data ? size : 0) {
    if (size_ < 6 || (std::memcmp(data_, "GIF87a", 6) != 0 && std::memcmp(data_, "GIF89a", 6) != 0)) {
        Fail(GifWalkState::Malformed);
        return;
    }
    if (size_ < kScreenDescriptorEnd) {
        Fail(GifWalkState::Truncated);
        return;
    }
    screen_.width = Le16(data_ + 6);
    screen_.height = Le16(data_ + 8);
    const uint8_t flags = data_[10];
    size_t pos = kScreenDescriptorEnd;
    if (flags & 0x80) {
        screen_.hasGlobalTable = true;
        screen_.globalTableEntries = 2 << (flags & 0x07);
        screen_.globalTableOffset = pos;
        const size_t tableBytes = 3 * static_cast<size_t>(screen_.globalTableEntries);
        if (tableBytes > size_ - pos) {
            Fail(GifWalkState::Truncated);
            return;
        }
        pos += tableBytes;
    }
    screen_.headerBytes = pos;
    pos_ = pos;
    headerValid_ = true;
    state_ = GifWalkState::Walking;
}

bool GifFrameWalker::SkipSubBlocks(size_t* pos, size_t* payloadBytes) {
    size_t p = *pos;
    size_t total = 0;
    for (;;) {
        if (p >= size_) return false;
        const size_t n = data_[p++];
        if (n == 0) break;
        if (n > size_ - p) return false;
        p += n;
        total += n;
    }
    *pos = p;
    if (payloadBytes) *payloadBytes = total;
    return true;
}

bool GifFrameWalker::ReadImage(size_t pos, GifFrameBlock* frame) {
    if (size_ - pos < kImageDescriptorBytes) {
        Fail(GifWalkState::Truncated);
        return false;
    }
    const uint8_t* d = data_ + pos;
    frame->descriptorOffset = pos;
    frame->left = Le16(d + 1);
    frame->top = Le16(d + 3);
    frame->width = Le16(d + 5);
    frame->height = Le16(d + 7);
    const uint8_t flags = d[9];
    frame->interlaced = (flags & 0x40) != 0;
    if (frame->width == 0 || frame->height == 0) {
        Fail(GifWalkState::Malformed);
        return false;
    }
    size_t p = pos + kImageDescriptorBytes;
    if (flags & 0x80) {
        frame->hasLocalTable = true;
        frame->localTableEntries = 2 << (flags & 0x07);
        frame->localTableOffset = p;
        const size_t tableBytes = 3 * static_cast<size_t>(frame->localTableEntries);
        if (tableBytes > size_ - p) {
            Fail(GifWalkState::Truncated);
            return false;
        }
        p += tableBytes;
    }
    if (p >= size_) {
        Fail(GifWalkState::Truncated);
        return false;
    }
    frame->minCodeSize = data_[p++];
    if (frame->minCodeSize < 2 || frame->minCodeSize > 11) {
        Fail(GifWalkState::Malformed);
        return false;
    }
    frame->dataOffset = p;
    if (!SkipSubBlocks(&p, &frame->dataBytes)) {
        Fail(GifWalkState::Truncated);
        return false;
    }
    frame->end = p;
    return true;
}

bool GifFrameWalker::Next(GifFrameBlock* frame) {
    if (state_ != GifWalkState::Walking) return false;
    GifFrameBlock found;
    size_t controlBegin = 0;
    for (;;) {
        if (pos_ >= size_) {
            Fail(GifWalkState::Truncated);
            return false;
        }
        const uint8_t introducer = data_[pos_];
        if (introducer == kTrailer) {
            Fail(GifWalkState::Trailer);
            return false;
        }
        if (introducer == kImageSeparator) {
            if (!ReadImage(pos_, &found)) return false;
            found.begin = found.hasControl ? controlBegin : pos_;
            pos_ = found.end;
            if (frame) *frame = found;
            return true;
        }
        if (introducer != kExtensionIntroducer) {
            Fail(GifWalkState::Malformed);
            return false;
        }
        if (size_ - pos_ < 2) {
            Fail(GifWalkState::Truncated);
            return false;
        }
        const uint8_t label = data_[pos_ + 1];
        size_t p = pos_ + 2;
        if (label == kGraphicControlLabel && p < size_ && data_[p] >= 4 && size_ - p > 4) {
            const uint8_t* g = data_ + p + 1;
            found.hasControl = true;
            found.disposal = (g[0] >> 2) & 0x07;
            found.delay = Le16(g + 1);
            found.transparentIndex = (g[0] & 0x01) ? g[3] : -1;
            controlBegin = pos_;
        }
        if (!SkipSubBlocks(&p, nullptr)) {
            Fail(GifWalkState::Truncated);
            return false;
        }
        if (label == kPlainTextLabel) {
            // A graphic control extension before a plain-text block belongs to that block.
            found = GifFrameBlock();
        }
        pos_ = p;
    }
}

int CountGifFrames(const void* data, size_t size) {
    GifFrameWalker walker(data, size);
    int count = 0;
    while (walker.Next(nullptr)) ++count;
    return count;
}

}  // namespace gifcodec
