// Octree colour quantizer: builds a palette of at most a requested number of colours
// (up to 256) from one or more packed DIBs. Win32-free.
#pragma once

#include "image/dib_types.h"

#include <cstdint>
#include <memory>
#include <vector>

class COctreeQuantizer {
public:
    // maxColors: palette size wanted (clamped to 256); the tree may hold up to 16 leaves
    // when fewer are asked for. colorBits: bits per channel that tell colours apart (at most 8).
    COctreeQuantizer(unsigned maxColors, unsigned colorBits);
    virtual ~COctreeQuantizer();

    COctreeQuantizer(const COctreeQuantizer&) = delete;
    COctreeQuantizer& operator=(const COctreeQuantizer&) = delete;

    // Adds every pixel of a packed DIB (header, colour table, rows). Accepts uncompressed
    // 1, 4, 8 and 24 bits per pixel, bottom-up or top-down; anything else, or a header
    // that does not describe a sane picture, is refused with false and adds nothing.
    bool AddImage(const void* dib);

    // Writes the palette from entry 0 on, in tree order; entries past those written are
    // left as they were. The table must hold 256 entries.
    void FillPalette(RGBQUAD* table) const;

    unsigned GetLeafCount() const { return leafCount; }

private:
    struct Node {
        bool isLeaf;
        uint64_t pixelCount;
        uint64_t redSum, greenSum, blueSum, alphaSum;
        Node* children[8];
        Node* next;  // reducible list of the node's level; free list while pooled
    };

    // One palette entry of a leaf and the pixels behind it.
    struct LeafColor {
        uint8_t red, green, blue, alpha;
        uint64_t count;
    };

    // Colours that share their top kPrefixLevels bits per channel share their path down
    // to that level, so the walk can start at the node remembered for the prefix (or at
    // the leaf, when the path ends higher up). An entry is valid only for the generation
    // it was stored in; a merge above that level frees nodes and starts a new generation.
    struct PrefixEntry {
        Node* node;
        uint32_t generation;
        uint32_t level;
    };
    static constexpr unsigned kPrefixLevels = 3;
    static constexpr unsigned kPrefixEntries = 1u << (3 * kPrefixLevels);

    Node* NewNode(unsigned level);
    void ReleaseNode(Node* node);
    // Adds count pixels of one colour below the slot, creating the nodes it lacks.
    void InsertColor(Node** slot, unsigned red, unsigned green, unsigned blue,
                      unsigned alpha, unsigned level, uint64_t count);
    bool MergeDeepestNode();
    void AddPixels(unsigned red, unsigned green, unsigned blue, unsigned alpha, uint64_t count);
    void AddPixelsFromRoot(unsigned red, unsigned green, unsigned blue, unsigned alpha,
                           uint64_t count);
    void FlushRun(uint32_t key, uint64_t count);
    static unsigned PrefixOf(unsigned red, unsigned green, unsigned blue);
    void CollectLeafColors(const Node* node, std::vector<LeafColor>& out) const;
    static unsigned ReadPixelIndex(const uint8_t* row, unsigned x, unsigned bits);

    Node* root = nullptr;
    unsigned leafCount = 0;
    Node* reducible[9] = {};
    unsigned maxColors;
    unsigned outputColors;
    unsigned colorBits;

    // Node storage: chunks released all at once by the destructor; freed nodes are reused.
    std::vector<std::unique_ptr<Node[]>> nodeChunks;
    unsigned chunkUsed = 0;
    Node* freeNodes = nullptr;

    std::unique_ptr<PrefixEntry[]> prefixStarts;
    uint32_t prefixGeneration = 1;
};
