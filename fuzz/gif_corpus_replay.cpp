// Runs the GIF fuzz bodies over every file of the given folders (or files), without libFuzzer,
// so an ordinary build replays the corpus. With --decodable before them, every input must also
// decode (the seed corpus holds valid files only). Exits non-zero when a folder is missing or
// empty, or a --decodable input does not decode.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/gif_fuzz_bodies.h"
#include "gif/gd.h"

namespace fs = std::filesystem;

namespace {

// False when the input had to decode and did not.
bool Replay(const fs::path& file, bool mustDecode) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FuzzGifFrames(bytes.data(), bytes.size());
    FuzzGifDecode(bytes.data(), bytes.size());
    if (!mustDecode) return true;
    gdImageOwner im(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), bytes.data()));
    if (!im) std::fprintf(stderr, "does not decode: %s\n", file.string().c_str());
    return im != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    int files = 0;
    bool mustDecode = false;
    bool allDecoded = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (arg == "--decodable") {
            mustDecode = true;
        } else if (fs::is_directory(arg, ec)) {
            for (const auto& entry : fs::directory_iterator(arg, ec)) {
                if (!entry.is_regular_file()) continue;
                allDecoded = Replay(entry.path(), mustDecode) && allDecoded;
                ++files;
            }
        } else if (fs::is_regular_file(arg, ec)) {
            allDecoded = Replay(arg, mustDecode) && allDecoded;
            ++files;
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }
    std::printf("replayed %d inputs\n", files);
    return files > 0 && allDecoded ? 0 : 1;
}
