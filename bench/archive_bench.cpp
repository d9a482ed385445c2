// Unpacking the show's archive on every start, against `unzip -o` of the
// same archive into the same kind of folder. Both overwrite the tree of the
// previous iteration, as every start after the first does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/data_archive.h"
#include "app/log.h"

namespace {

namespace fs = std::filesystem;

std::string archivePath() { return executableDirectory() + "demodat"; }

fs::path freshFolder(const char* name) {
    const fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

void BM_extractArchive(benchmark::State& state) {
    if (!fs::exists(archivePath())) {
        state.SkipWithError("no demodat beside the benchmark; build the content first");
        return;
    }
    logFlags.writeToFile = false;
    const fs::path target = freshFolder("murmur-bench-extract");
    for (auto _ : state) extractArchive(archivePath(), target.string() + "/");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(archivePath())));
    fs::remove_all(target);
}
BENCHMARK(BM_extractArchive)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_unzipOverwrite(benchmark::State& state) {
    if (!fs::exists(archivePath()) || std::system("command -v unzip >/dev/null") != 0) {
        state.SkipWithError("needs demodat beside the benchmark and unzip");
        return;
    }
    const fs::path target = freshFolder("murmur-bench-unzip");
    const std::string command = "unzip -o -qq '" + archivePath() + "' -d '" + target.string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("unzip failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(archivePath())));
    fs::remove_all(target);
}
BENCHMARK(BM_unzipOverwrite)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
