#include "gif/gif_byte_buffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace gifcodec {

GifByteBuffer::~GifByteBuffer() { std::free(data_); }

bool GifByteBuffer::Reserve(size_t capacity) {
    if (failed_) return false;
    if (capacity <= capacity_) return true;
    void* p = std::realloc(data_, capacity);
    if (!p) {
        failed_ = true;
        return false;
    }
    data_ = static_cast<uint8_t*>(p);
    capacity_ = capacity;
    return true;
}

bool GifByteBuffer::Grow(size_t extra) {
    if (failed_) return false;
    // Blocks are handed out with an int size.
    if (extra > static_cast<size_t>(INT_MAX) - size_) {
        failed_ = true;
        return false;
    }
    size_t want = capacity_ < 256 ? 256 : capacity_ * 2;
    if (want < size_ + extra) want = size_ + extra;
    if (want > static_cast<size_t>(INT_MAX)) want = static_cast<size_t>(INT_MAX);
    return Reserve(want);
}

bool GifByteBuffer::PutBytes(const void* p, size_t n) {
    if (!Ensure(n)) return false;
    if (n) std::memcpy(data_ + size_, p, n);
    size_ += n;
    return true;
}

void* GifByteBuffer::Release(int* size) {
    if (failed_ || !data_) {
        if (size) *size = 0;
        return nullptr;
    }
    void* out = data_;
    if (size) *size = static_cast<int>(size_);
    data_ = nullptr;
    size_ = capacity_ = 0;
    return out;
}

}  // namespace gifcodec
