// Archive extraction on arbitrary bytes. Each input is written to
// SCRATCH/archive.zip and unpacked into a fresh SCRATCH/a/b/target, beside
// which lies SCRATCH/a/b/outside with a victim file; inside the target, links
// planted where an archive's names lead point out of it. Afterwards the whole
// scratch tree is walked: everything new lies under the target, nothing there
// is a link, a special file or a second name of a file, the planted links and
// the victim are as they were, and no descriptor is left open.
#include "app/data_archive.h"
#include "app/log.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr char kVictimBytes[] = "the victim's own bytes";

fs::path scratch;

// Link name under the target -> where it points (relative to its folder).
const std::map<std::string, std::string> kPlantedLinks = {
    {"quellon_data/models", "../../outside"},
    {"quellon_data/link.txt", "../../outside/victim.txt"},
    {"quellon_data/dangling.txt", "../../outside/new.txt"},
    {"escape", ".."},
};

void removeScratch() {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

void fail(const std::string& path, const char* property) {
    std::fprintf(stderr, "%s: ", path.c_str());
    require(false, property);
}

void plantTree() {
    std::error_code error;
    fs::remove_all(scratch / "a", error);
    require(!error, "the last run's tree can be removed");
    const fs::path b = scratch / "a/b";
    fs::create_directories(b / "target/quellon_data", error);
    fs::create_directory(b / "outside", error);
    require(!error, "the tree can be made");
    std::ofstream(b / "outside/victim.txt", std::ios::binary) << kVictimBytes;
    for (const auto& [name, to] : kPlantedLinks) fs::create_symlink(to, b / "target" / name, error);
    require(!error, "the links can be planted");
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int openDescriptors() {
    int count = 0;
    std::error_code error;
    for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error)) ++count;
    return count;
}

void checkTree() {
    std::error_code error;
    for (fs::recursive_directory_iterator it(scratch, error), end; !error && it != end; it.increment(error)) {
        // Lexical, not fs::relative: that resolves links, and would judge a
        // link by where it leads rather than by where it lies.
        const std::string relative = it->path().string().substr(scratch.string().size() + 1);
        const fs::file_status status = it->symlink_status();
        if (relative == "archive.zip" || relative == "a" || relative == "a/b" || relative == "a/b/outside" ||
            relative == "a/b/target")
            continue;
        if (relative == "a/b/outside/victim.txt") {
            if (slurp(it->path()) != kVictimBytes) fail(relative, "nothing is written outside the target");
            continue;
        }
        if (relative.rfind("a/b/target/", 0) != 0) fail(relative, "nothing lands outside the target");
        const std::string inside = relative.substr(11);
        if (fs::is_symlink(status)) {
            const auto planted = kPlantedLinks.find(inside);
            if (planted == kPlantedLinks.end()) fail(relative, "unpacking makes no links");
            if (fs::read_symlink(it->path(), error) != planted->second) fail(relative, "a planted link stays");
            continue;
        }
        if (fs::is_directory(status)) continue;
        if (!fs::is_regular_file(status)) fail(relative, "unpacking makes only files and folders");
        if (fs::hard_link_count(it->path(), error) != 1) fail(relative, "an unpacked file has one name");
    }
    require(!error, "the tree can be walked");
    for (const auto& [name, to] : kPlantedLinks)
        if (!fs::is_symlink(fs::symlink_status(scratch / "a/b/target" / name)))
            fail(name, "a planted link is left where it is");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    logFlags.mirrorToDebugger = false;
    logFlags.writeToFile = false;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/murmur-fuzz-archive-XXXXXX";
    require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
    // The walk compares real paths.
    scratch = fs::canonical(pattern);
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plantTree();
    const fs::path archive = scratch / "archive.zip";
    std::FILE* out = std::fopen(archive.c_str(), "wb");
    require(out != nullptr, "the input can be written");
    const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
    require(std::fclose(out) == 0 && written, "the input can be written");

    const int descriptors = openDescriptors();
    require(extractArchive(archive.string(), (scratch / "a/b/target").string() + "/") == 0,
            "unpacking always returns 0");
    require(openDescriptors() == descriptors, "unpacking leaves no descriptor open");
    checkTree();
    const std::string kept = slurp(archive);
    require(kept.size() == size && std::equal(kept.begin(), kept.end(), reinterpret_cast<const char*>(data)),
            "the archive itself is left alone");
    return 0;
}
