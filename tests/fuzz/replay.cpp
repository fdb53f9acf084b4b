// Runs a fuzz target over files instead of under libFuzzer: every file named on the command line,
// and every file below every folder named there, is given to the target once. The ordinary
// build links each target with this driver and runs it over its seed corpus as a test, so the
// seeds and the inputs of every crash found so far keep being checked without clang.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

bool runFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so that a read past its end is caught as under
    // libFuzzer.
    std::vector<uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path root(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(root, error)) {
            std::vector<std::filesystem::path> paths;
            for (const auto &entry : std::filesystem::recursive_directory_iterator(root))
                if (entry.is_regular_file())
                    paths.push_back(entry.path());
            std::sort(paths.begin(), paths.end());
            for (const auto &path : paths) {
                if (!runFile(path))
                    return 1;
                ++files;
            }
        } else {
            if (!runFile(root))
                return 1;
            ++files;
        }
    }
    std::printf("%d inputs run\n", files);
    // An empty corpus proves nothing: a folder that lost its seeds fails.
    return files > 0 ? 0 : 1;
}
