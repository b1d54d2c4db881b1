#include "tests/gif/gif_reader_test_util.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace readertest {
namespace {

size_t PageSize() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
#else
    return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

}  // namespace

GuardedBytes::GuardedBytes(const std::vector<uint8_t>& bytes) : size_(bytes.size()) {
    const size_t page = PageSize();
    const size_t dataPages = (bytes.size() + page - 1) / page;
    blockBytes_ = (dataPages + 1) * page;
#ifdef _WIN32
    block_ = VirtualAlloc(nullptr, blockBytes_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block_) throw std::runtime_error("VirtualAlloc failed");
    DWORD old = 0;
    if (!VirtualProtect(static_cast<uint8_t*>(block_) + dataPages * page, page, PAGE_NOACCESS, &old)) {
        throw std::runtime_error("VirtualProtect failed");
    }
#else
    block_ = mmap(nullptr, blockBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block_ == MAP_FAILED) throw std::runtime_error("mmap failed");
    if (mprotect(static_cast<uint8_t*>(block_) + dataPages * page, page, PROT_NONE) != 0) {
        throw std::runtime_error("mprotect failed");
    }
#endif
    uint8_t* end = static_cast<uint8_t*>(block_) + dataPages * page;
    uint8_t* start = end - bytes.size();
    if (!bytes.empty()) std::memcpy(start, bytes.data(), bytes.size());
    data_ = start;
}

GuardedBytes::~GuardedBytes() {
#ifdef _WIN32
    VirtualFree(block_, 0, MEM_RELEASE);
#else
    munmap(block_, blockBytes_);
#endif
}

std::vector<giftest::Rgb> TestPalette() {
    return {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}, {255, 255, 0}};
}

std::vector<uint8_t> Solid(int w, int h, uint8_t index) {
    return std::vector<uint8_t>(static_cast<size_t>(w) * static_cast<size_t>(h), index);
}

std::vector<uint8_t> ThreeFrameGif() {
    giftest::GifFileBuilder gif(8, 6, TestPalette());
    gif.Loop(0);
    for (int i = 0; i < 3; ++i) gif.Control(1, 10 * (i + 1), -1).Image(0, 0, 8, 6, Solid(8, 6, static_cast<uint8_t>(i)));
    return gif.Trailer().Data();
}

std::vector<uint8_t> OneFrameGif() {
    giftest::GifFileBuilder gif(8, 6, TestPalette());
    return gif.Control(1, 10, -1).Image(0, 0, 8, 6, Solid(8, 6, 2)).Trailer().Data();
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<ReferenceGif> LoadReferenceGifs(const std::string& folder) {
    std::vector<ReferenceGif> out;
    std::ifstream manifest(folder + "/manifest.txt");
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        ReferenceGif gif;
        size_t count = 0;
        if (!(fields >> gif.name >> gif.width >> gif.height >> count)) continue;
        for (size_t i = 0; i < count; ++i) {
            int delay = 0;
            fields >> delay;
            gif.delays.push_back(delay);
        }
        gif.gifPath = folder + "/" + gif.name + ".gif";
        const std::vector<uint8_t> rgba = ReadBytes(folder + "/" + gif.name + ".rgba");
        const size_t frameBytes = static_cast<size_t>(gif.width) * static_cast<size_t>(gif.height) * 4;
        if (frameBytes == 0 || rgba.size() != frameBytes * count) {
            throw std::runtime_error("reference pictures of " + gif.name + " do not match the manifest");
        }
        for (size_t i = 0; i < count; ++i) {
            gif.frames.emplace_back(rgba.begin() + static_cast<ptrdiff_t>(i * frameBytes),
                                    rgba.begin() + static_cast<ptrdiff_t>((i + 1) * frameBytes));
        }
        out.push_back(std::move(gif));
    }
    return out;
}

}  // namespace readertest
