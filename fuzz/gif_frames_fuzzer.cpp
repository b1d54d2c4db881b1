// libFuzzer target: the GIF frame walker and counter on arbitrary bytes.
#include "fuzz/gif_fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzGifFrames(data, size); }
