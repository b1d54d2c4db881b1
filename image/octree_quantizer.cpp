#include "image/octree_quantizer.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned kMaxPaletteColors = 256;
constexpr unsigned kMinTreeLeaves = 16;
constexpr unsigned kMaxColorBits = 8;
constexpr unsigned kNodeChunkSize = 256;
// Largest width or height accepted; the whole DIB must also fit in 32 bits, as its
// size fields do.
constexpr int32_t kMaxSide = 65535;
constexpr uint64_t kMaxDibBytes = 0xFFFFFFFFull;

// Where the parts of a packed DIB are, once its header has been checked.
struct DibLayout {
    unsigned width = 0;
    unsigned height = 0;
    bool topDown = false;
    unsigned bits = 0;
    size_t stride = 0;
    const uint8_t* palette = nullptr;  // RGBQUAD entries: blue, green, red, reserved
    unsigned paletteSize = 0;
    const uint8_t* rows = nullptr;

    // Row y counted from the bottom of the picture, so both row orders are read alike.
    const uint8_t* Row(unsigned y) const
    {
        const unsigned stored = topDown ? height - 1 - y : y;
        return rows + stored * stride;
    }
};

bool IsKnownHeaderSize(uint32_t size)
{
    // BITMAPINFOHEADER, its two bit-field extensions, OS/2 2.x, V4 and V5.
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool ReadDibLayout(const void* dib, DibLayout& out)
{
    if (!dib)
        return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(dib);
    uint32_t headerSize;
    std::memcpy(&headerSize, bytes, sizeof headerSize);
    if (!IsKnownHeaderSize(headerSize))
        return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);

    const int32_t width = header.biWidth;
    const int32_t height = header.biHeight;
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
        return false;
    const unsigned bits = header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return false;
    if (header.biCompression != BI_RGB)
        return false;
    if (header.biClrUsed > kMaxPaletteColors)
        return false;

    out.width = static_cast<unsigned>(width);
    out.topDown = height < 0;
    out.height = static_cast<unsigned>(height < 0 ? -height : height);
    out.bits = bits;
    const uint64_t stride = (static_cast<uint64_t>(bits) * out.width + 31) / 32 * 4;
    // A colour table with a zero count is full size for the depth; a 24-bit DIB may carry
    // an optional table that only has to be stepped over.
    unsigned tableEntries = header.biClrUsed;
    if (bits <= 8 && tableEntries == 0)
        tableEntries = 1u << bits;
    const uint64_t rowsOffset = static_cast<uint64_t>(headerSize) + tableEntries * 4ull;
    if (rowsOffset + stride * out.height > kMaxDibBytes)
        return false;

    out.stride = static_cast<size_t>(stride);
    out.palette = bytes + headerSize;
    out.paletteSize = bits <= 8 ? tableEntries : 0;
    out.rows = bytes + rowsOffset;
    return true;
}

inline uint32_t PackColor(unsigned red, unsigned green, unsigned blue)
{
    return (red << 16) | (green << 8) | blue;
}

// Child slot of a colour below a node of the given level: one bit of each channel.
inline unsigned ChildIndex(unsigned red, unsigned green, unsigned blue, unsigned level)
{
    const unsigned shift = 7 - level;
    return (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
}

}  // namespace

COctreeQuantizer::COctreeQuantizer(unsigned maxColorsWanted, unsigned colorBitsWanted)
    : maxColors(std::max(std::min(maxColorsWanted, kMaxPaletteColors), kMinTreeLeaves)),
      outputColors(std::min(maxColorsWanted, kMaxPaletteColors)),
      colorBits(std::min(colorBitsWanted, kMaxColorBits)),
      prefixStarts(new PrefixEntry[kPrefixEntries]())
{
}

COctreeQuantizer::~COctreeQuantizer() = default;

unsigned COctreeQuantizer::PrefixOf(unsigned red, unsigned green, unsigned blue)
{
    constexpr unsigned shift = 8 - kPrefixLevels;
    return ((red >> shift) << (2 * kPrefixLevels)) | ((green >> shift) << kPrefixLevels) |
           (blue >> shift);
}

inline void COctreeQuantizer::AddPixels(unsigned red, unsigned green, unsigned blue,
                                        unsigned alpha, uint64_t count)
{
    // Fast path: follow existing nodes from the prefix's start; it creates nothing, so
    // no reduction can follow.
    const PrefixEntry& start = prefixStarts[PrefixOf(red, green, blue)];
    if (start.generation == prefixGeneration) {
        Node* node = start.node;
        unsigned level = start.level;
        while (node && !node->isLeaf) {
            node = node->children[ChildIndex(red, green, blue, level)];
            ++level;
        }
        if (node) {
            node->pixelCount += count;
            node->redSum += static_cast<uint64_t>(red) * count;
            node->greenSum += static_cast<uint64_t>(green) * count;
            node->blueSum += static_cast<uint64_t>(blue) * count;
            node->alphaSum += static_cast<uint64_t>(alpha) * count;
            return;
        }
    }
    AddPixelsFromRoot(red, green, blue, alpha, count);
}

void COctreeQuantizer::AddPixelsFromRoot(unsigned red, unsigned green, unsigned blue,
                                         unsigned alpha, uint64_t count)
{
    InsertColor(&root, red, green, blue, alpha, 0, count);
    while (leafCount > maxColors) {
        if (!MergeDeepestNode())
            break;
    }

    PrefixEntry& start = prefixStarts[PrefixOf(red, green, blue)];
    Node* node = root;
    unsigned level = 0;
    while (node && !node->isLeaf && level < kPrefixLevels) {
        node = node->children[ChildIndex(red, green, blue, level)];
        ++level;
    }
    if (node)
        start = PrefixEntry{node, prefixGeneration, level};
}

// Adds a run of pixels of one colour (reserved byte << 24 | red << 16 | green << 8 | blue).
// Only the run's first pixel can create a leaf, so adding the run at once builds the same
// tree as adding its pixels one by one.
inline void COctreeQuantizer::FlushRun(uint32_t key, uint64_t count)
{
    AddPixels((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF, key >> 24, count);
}

bool COctreeQuantizer::AddImage(const void* dib)
{
    DibLayout layout;
    if (!ReadDibLayout(dib, layout))
        return false;

    // Pixels are gathered into runs of one colour, each added in one step.
    uint32_t runKey = 0;  // reserved byte << 24 | red << 16 | green << 8 | blue
    uint64_t runLength = 0;

    if (layout.bits == 24) {
        for (unsigned y = 0; y < layout.height; ++y) {
            const uint8_t* p = layout.Row(y);
            const uint8_t* end = p + static_cast<size_t>(layout.width) * 3;
            for (; p != end; p += 3) {
                const uint32_t key = PackColor(p[2], p[1], p[0]);
                if (key == runKey && runLength) {
                    ++runLength;
                    continue;
                }
                if (runLength)
                    FlushRun(runKey, runLength);
                runKey = key;
                runLength = 1;
            }
        }
    } else {
        for (unsigned y = 0; y < layout.height; ++y) {
            const uint8_t* row = layout.Row(y);
            for (unsigned x = 0; x < layout.width; ++x) {
                const unsigned index = ReadPixelIndex(row, x, layout.bits);
                if (index >= layout.paletteSize)
                    continue;  // no colour to give it
                const uint8_t* entry = layout.palette + index * 4;
                const uint32_t key =
                    (static_cast<uint32_t>(entry[3]) << 24) | PackColor(entry[2], entry[1], entry[0]);
                if (key == runKey && runLength) {
                    ++runLength;
                    continue;
                }
                if (runLength)
                    FlushRun(runKey, runLength);
                runKey = key;
                runLength = 1;
            }
        }
    }
    if (runLength)
        FlushRun(runKey, runLength);
    return true;
}

void COctreeQuantizer::InsertColor(Node** slot, unsigned red, unsigned green, unsigned blue,
                                   unsigned alpha, unsigned level, uint64_t count)
{
    for (;;) {
        if (!*slot)
            *slot = NewNode(level);
        Node* node = *slot;
        if (node->isLeaf) {
            node->pixelCount += count;
            node->redSum += static_cast<uint64_t>(red) * count;
            node->greenSum += static_cast<uint64_t>(green) * count;
            node->blueSum += static_cast<uint64_t>(blue) * count;
            node->alphaSum += static_cast<uint64_t>(alpha) * count;
            return;
        }
        slot = &node->children[ChildIndex(red, green, blue, level)];
        ++level;
    }
}

COctreeQuantizer::Node* COctreeQuantizer::NewNode(unsigned level)
{
    Node* node;
    if (freeNodes) {
        node = freeNodes;
        freeNodes = node->next;
    } else {
        if (nodeChunks.empty() || chunkUsed == kNodeChunkSize) {
            nodeChunks.emplace_back(new Node[kNodeChunkSize]);
            chunkUsed = 0;
        }
        node = &nodeChunks.back()[chunkUsed++];
    }
    *node = Node{};
    if (level >= colorBits) {
        node->isLeaf = true;
        ++leafCount;
    } else {
        node->next = reducible[level];
        reducible[level] = node;
    }
    return node;
}

void COctreeQuantizer::ReleaseNode(Node* node)
{
    node->next = freeNodes;
    freeNodes = node;
}

bool COctreeQuantizer::MergeDeepestNode()
{
    if (colorBits == 0)
        return false;
    unsigned level = colorBits - 1;
    while (level > 0 && !reducible[level])
        --level;
    Node* node = reducible[level];
    if (!node)
        return false;
    reducible[level] = node->next;
    node->next = nullptr;

    // Inner nodes of deeper levels are all gone, so the children are leaves.
    unsigned children = 0;
    for (Node*& child : node->children) {
        if (!child)
            continue;
        node->pixelCount += child->pixelCount;
        node->redSum += child->redSum;
        node->greenSum += child->greenSum;
        node->blueSum += child->blueSum;
        node->alphaSum += child->alphaSum;
        ReleaseNode(child);
        child = nullptr;
        ++children;
    }
    node->isLeaf = true;
    leafCount = leafCount + 1 - children;

    // Nodes down to level + 1 were freed: remembered path starts may be gone.
    if (level < kPrefixLevels && ++prefixGeneration == 0) {
        std::fill(prefixStarts.get(), prefixStarts.get() + kPrefixEntries, PrefixEntry{});
        prefixGeneration = 1;
    }
    return true;
}

void COctreeQuantizer::CollectLeafColors(const Node* node, std::vector<LeafColor>& out) const
{
    if (node->isLeaf) {
        const uint64_t n = node->pixelCount ? node->pixelCount : 1;
        out.push_back(LeafColor{static_cast<uint8_t>(node->redSum / n),
                                static_cast<uint8_t>(node->greenSum / n),
                                static_cast<uint8_t>(node->blueSum / n),
                                static_cast<uint8_t>(node->alphaSum / n), node->pixelCount});
        return;
    }
    for (const Node* child : node->children) {
        if (child)
            CollectLeafColors(child, out);
    }
}

void COctreeQuantizer::FillPalette(RGBQUAD* table) const
{
    if (!table || !root)
        return;
    std::vector<LeafColor> leaves;
    leaves.reserve(leafCount);
    CollectLeafColors(root, leaves);

    const size_t leafTotal = std::min<size_t>(leaves.size(), kMaxPaletteColors);
    if (outputColors >= kMinTreeLeaves || leafTotal <= outputColors) {
        for (size_t k = 0; k < leafTotal; ++k) {
            table[k].rgbRed = leaves[k].red;
            table[k].rgbGreen = leaves[k].green;
            table[k].rgbBlue = leaves[k].blue;
            table[k].rgbReserved = leaves[k].alpha;
        }
        return;
    }

    // Fewer colours than the tree holds: fold runs of neighbouring leaves, weighted by
    // their pixel counts.
    for (size_t j = 0; j < outputColors; ++j) {
        const size_t first = j * leafTotal / outputColors;
        const size_t last = (j + 1) * leafTotal / outputColors;
        uint64_t red = 0, green = 0, blue = 0, alpha = 0, count = 0;
        for (size_t k = first; k < last; ++k) {
            red += leaves[k].red * leaves[k].count;
            green += leaves[k].green * leaves[k].count;
            blue += leaves[k].blue * leaves[k].count;
            alpha += leaves[k].alpha * leaves[k].count;
            count += leaves[k].count;
        }
        if (count == 0)
            count = 1;
        table[j].rgbRed = static_cast<BYTE>(red / count);
        table[j].rgbGreen = static_cast<BYTE>(green / count);
        table[j].rgbBlue = static_cast<BYTE>(blue / count);
        table[j].rgbReserved = static_cast<BYTE>(alpha / count);
    }
}

unsigned COctreeQuantizer::ReadPixelIndex(const uint8_t* row, unsigned x, unsigned bits)
{
    switch (bits) {
    case 8:
        return row[x];
    case 4: {
        const uint8_t byte = row[x / 2];
        return (x & 1) ? (byte & 0x0F) : (byte >> 4);
    }
    default:  // 1 bit
        return (row[x / 8] >> (7 - (x % 8))) & 1;
    }
}
