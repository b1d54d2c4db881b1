// LZW decoder for GIF image data. Written for hostile input: every code is checked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gifcodec {

// Decodes `data` (the sub-block payloads joined) into exactly `count` pixels.
// False on a minimum code size outside 2..11, a code beyond the next free one, a first code
// after a clear that is not a literal, a literal above 255, or data (or an end code) that
// stops before `count` pixels. Codes after the last pixel are ignored.
bool LzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t count);

}  // namespace gifcodec
