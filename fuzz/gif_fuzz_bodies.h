// Fuzz bodies shared by the libFuzzer targets and the corpus replay program. Each returns 0
// and aborts when an invariant breaks, so both drivers report the input.
#pragma once

#include <cstddef>
#include <cstdint>

int FuzzGifDecode(const uint8_t* data, size_t size);
int FuzzGifFrames(const uint8_t* data, size_t size);
