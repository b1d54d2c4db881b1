// Variable-width LZW encoder for GIF image data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gif/gif_byte_buffer.h"

namespace gifcodec {

// Appends the image data of a width x height rectangle whose rows lie `stride` bytes apart:
// the minimum code size byte, the codes (clear first, 9..12 bits for code size 8, a clear
// whenever the table is full, end code last) in sub-blocks of at most 255 bytes, and the
// 0x00 terminator. minCodeSize is 2..8; pixel values are taken modulo 2^minCodeSize.
// False when memory is short.
bool LzwEncodeImage(const uint8_t* pixels, int width, int height, ptrdiff_t stride,
                    int minCodeSize, GifByteBuffer& out);

}  // namespace gifcodec
