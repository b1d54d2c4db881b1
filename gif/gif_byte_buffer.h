// Growable byte buffer on malloc, so a finished block can be handed to a caller who frees it
// with gdFree.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gifcodec {

class GifByteBuffer {
public:
    GifByteBuffer() = default;
    ~GifByteBuffer();
    GifByteBuffer(const GifByteBuffer&) = delete;
    GifByteBuffer& operator=(const GifByteBuffer&) = delete;

    // False when memory is short; the buffer then stays as it was and every later call fails too.
    bool Reserve(size_t capacity);

    bool Put(uint8_t b) {
        if (size_ == capacity_ && !Grow(1)) return false;
        data_[size_++] = b;
        return true;
    }
    bool PutLe16(int v) { return Put(static_cast<uint8_t>(v & 0xFF)) && Put(static_cast<uint8_t>((v >> 8) & 0xFF)); }
    bool PutBytes(const void* p, size_t n);

    // Room for n more bytes written straight through Data() + Size(); follow with Commit(n).
    bool Ensure(size_t n) { return capacity_ - size_ >= n || Grow(n); }
    void Commit(size_t n) { size_ += n; }

    uint8_t* Data() { return data_; }
    size_t Size() const { return size_; }
    bool Failed() const { return failed_; }

    // Hands the block over (malloc'ed, exactly Size() bytes or more); the buffer is empty after.
    // NULL when a growth failed earlier.
    void* Release(int* size);

private:
    bool Grow(size_t extra);

    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool failed_ = false;
};

}  // namespace gifcodec
