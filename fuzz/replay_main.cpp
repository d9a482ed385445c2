// Runs a fuzz target's entry point once over each file named on the command
// line, and over every file inside each folder named (in name order), without
// libFuzzer: the sanitizer build replays the seeds and the kept crash files
// this way. Each input sits in a heap block of exactly its size, so reading
// past its end is caught.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define MURMUR_REPLAY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MURMUR_REPLAY_SANITIZED 1
#endif
#endif
#ifdef MURMUR_REPLAY_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

// The input being replayed, named when the run dies on it.
std::string current = "(start-up, before any input)";

void nameCurrent() {
    const std::string line = "while replaying " + current + "\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

void onSignal(int signal) {
    nameCurrent();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        std::error_code error;
        if (fs::is_directory(named, error)) {
            std::vector<fs::path> inside;
            for (const auto& entry : fs::recursive_directory_iterator(named))
                if (entry.is_regular_file()) inside.push_back(entry.path());
            std::sort(inside.begin(), inside.end());
            inputs.insert(inputs.end(), inside.begin(), inside.end());
        } else if (fs::is_regular_file(named, error)) {
            inputs.push_back(named);
        } else {
            std::fprintf(stderr, "%s: no such file or folder\n", argv[i]);
            return 2;
        }
    }
#ifdef MURMUR_REPLAY_SANITIZED
    __sanitizer_set_death_callback(nameCurrent);
#endif
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(signal, onSignal);
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path& path : inputs) {
        current = path.string();
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes;
        if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in || in.bad()) {
            std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
            return 2;
        }
        // An empty input still gets a block of its own.
        const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
    }
    std::printf("%s: %zu inputs\n", fs::path(argv[0]).filename().c_str(), inputs.size());
    return 0;
}
