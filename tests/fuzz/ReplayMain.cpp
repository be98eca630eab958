// The main of every harness in an ordinary build: runs the harness over the
// files and folders named on the command line (a folder: each file in it, in
// name order) and fails when one of them is missing or empty, so a corpus
// that was moved away cannot pass unnoticed. A finding aborts, as under
// libFuzzer.

#include "FuzzSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {
bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}
} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n", argv[0]);
        return 2;
    }
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::vector<fs::path> files;
        std::error_code error;
        if (!fs::exists(arg, error)) {
            std::fprintf(stderr, "%s does not exist\n", arg.c_str());
            return 1;
        }
        if (fs::is_directory(arg, error)) {
            for (const fs::directory_entry& e : fs::directory_iterator(arg, error))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);
        }
        if (files.empty()) {
            std::fprintf(stderr, "%s holds no inputs\n", arg.c_str());
            return 1;
        }
        for (const fs::path& f : files) {
            if (!replay(f)) return 1;
            ++inputs;
        }
    }
    std::printf("%s: %d inputs replayed\n", fs::path(argv[0]).filename().c_str(), inputs);
    return 0;
}
