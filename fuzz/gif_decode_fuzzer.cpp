// libFuzzer target: gdImageCreateFromGifPtr on arbitrary bytes.
#include "fuzz/gif_fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzGifDecode(data, size); }
