// Runs every file of the corpus folders (or single files) given as arguments through the fuzz
// target once, each from a buffer of exactly its length so that the sanitizers see any read past
// it. This is how the asan tier proves the readers clean on their committed corpora without
// libFuzzer. Fails when it finds no input at all.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(exact.empty() ? nullptr : exact.data(), exact.size());
}

}  // namespace

int main(int argc, char** argv) {
    size_t inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (!entry.is_regular_file()) continue;
                RunFile(entry.path());
                ++inputs;
            }
        } else if (std::filesystem::is_regular_file(path)) {
            RunFile(path);
            ++inputs;
        } else {
            std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("replay: %zu inputs\n", inputs);
    return inputs > 0 ? 0 : 1;
}
