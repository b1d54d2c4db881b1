// Walks the block structure of a GIF in memory without decoding pixels: the logical screen,
// then each image with its graphic control values. Every read is checked against the end.
// The image layer counts frames with it; the decoder finds its image with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gifcodec {

struct GifScreenInfo {
    int width = 0;
    int height = 0;
    bool hasGlobalTable = false;
    int globalTableEntries = 0;      // 2..256 when present
    size_t globalTableOffset = 0;    // 13 when present
    size_t headerBytes = 0;          // signature, screen descriptor and global table
};

struct GifFrameBlock {
    size_t begin = 0;                // the frame's graphic control extension, else its image descriptor
    size_t end = 0;                  // one past the image data terminator
    size_t descriptorOffset = 0;     // the 0x2C byte
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool hasLocalTable = false;
    int localTableEntries = 0;
    size_t localTableOffset = 0;
    int minCodeSize = 0;
    size_t dataOffset = 0;           // first sub-block length byte of the image data
    size_t dataBytes = 0;            // sum of the image data sub-block payloads
    bool hasControl = false;         // a graphic control extension precedes the image
    int delay = 0;                   // 1/100 s, 0 without a graphic control extension
    int disposal = 0;
    int transparentIndex = -1;       // -1 unless the transparency flag is set
};

enum class GifWalkState {
    Walking,    // more frames may follow
    Trailer,    // reached the 0x3B trailer: the file is well formed
    Truncated,  // data ended inside a block or before the trailer
    Malformed,  // bad signature, unknown block, impossible field
};

class GifFrameWalker {
public:
    GifFrameWalker(const void* data, size_t size);

    // Signature and screen descriptor (and global table) present and sound.
    bool HeaderValid() const { return headerValid_; }
    const GifScreenInfo& Screen() const { return screen_; }

    // The next image; false at the trailer or at a fault, State() telling which.
    bool Next(GifFrameBlock* frame);
    GifWalkState State() const { return state_; }

private:
    bool SkipSubBlocks(size_t* pos, size_t* payloadBytes);
    bool ReadImage(size_t pos, GifFrameBlock* frame);
    void Fail(GifWalkState state) { state_ = state; }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool headerValid_ = false;
    GifScreenInfo screen_;
    GifWalkState state_ = GifWalkState::Malformed;
};

// Images of the GIF before the trailer or the first fault (a file cut inside its third image
// counts two); 0 when the data is not a GIF.
int CountGifFrames(const void* data, size_t size);

}  // namespace gifcodec
