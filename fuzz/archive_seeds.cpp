// Makes the seeds of the archive target: archive_seeds DEMODAT OUT.
//
// The built archive is cut into small archives, one per folder of its data
// tree (the data folder's entry, the folder's entries and as many of its
// files as fit in a few tens of kilobytes, their compressed bytes copied as
// they are, in the archive's order). Hostile archives join them: names that
// climb out, absolute names, drive letters, backslashes, entries marked as
// links, names that lead through the links the target plants, files and
// folders of the same name, damaged entries and a cut archive. Same input,
// same bytes. Without DEMODAT (a missing file) only the hostile ones are made.
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// What the seeds of the built archive may hold, compressed.
constexpr std::size_t kSeedBudget = 48 * 1024;
// 1 January 2001, as the built archive stamps its entries.
constexpr uLong kDosDate = (21u << 25) | (1u << 21) | (1u << 16);
constexpr uLong kMadeByUnix = 3u << 8;

struct Entry {
    std::string name;
    std::string bytes;        // as stored (compressed when method is deflate)
    int method = 0;
    uLong crc = 0;
    uLong size = 0;           // uncompressed
    uLong externalAttributes = 0;
    uLong dosDate = kDosDate;
    bool raw = true;          // bytes are stored as given, with crc and size
};

Entry plain(const std::string& name, const std::string& data, uLong mode = 0100644) {
    Entry e;
    e.name = name;
    e.bytes = data;
    e.crc = crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    e.size = static_cast<uLong>(data.size());
    e.externalAttributes = mode << 16;
    return e;
}

Entry folder(const std::string& name) { return plain(name, "", 040755); }

Entry deflated(const std::string& name, const std::string& data) {
    Entry e = plain(name, data);
    e.raw = false;
    e.method = Z_DEFLATED;
    return e;
}

bool write(const fs::path& path, const std::vector<Entry>& entries) {
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const Entry& e : entries) {
        zip_fileinfo info{};
        info.dosDate = e.dosDate;
        info.external_fa = e.externalAttributes;
        ok = ok && zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, e.method,
                                           Z_BEST_COMPRESSION, e.raw ? 1 : 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                           nullptr, 0, kMadeByUnix, 0, 0) == ZIP_OK;
        if (ok && !e.bytes.empty())
            ok = zipWriteInFileInZip(zip, e.bytes.data(), static_cast<unsigned>(e.bytes.size())) == ZIP_OK;
        if (ok) ok = (e.raw ? zipCloseFileInZipRaw(zip, e.size, e.crc) : zipCloseFileInZip(zip)) == ZIP_OK;
    }
    const bool closed = zipClose(zip, nullptr) == ZIP_OK;
    if (!ok || !closed) std::fprintf(stderr, "archive_seeds: %s cannot be written\n", path.c_str());
    return ok && closed;
}

// Every entry of the archive at `path` with its stored bytes; empty when it
// cannot be read.
std::vector<Entry> readArchive(const fs::path& path) {
    std::vector<Entry> entries;
    unzFile zip = unzOpen64(path.c_str());
    if (!zip) return entries;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        Entry e;
        e.name = name;
        e.crc = info.crc;
        e.size = static_cast<uLong>(info.uncompressed_size);
        e.externalAttributes = info.external_fa;
        e.dosDate = info.dosDate;
        int method = 0;
        int level = 0;
        if (unzOpenCurrentFile2(zip, &method, &level, 1) != UNZ_OK) break;
        e.method = method;
        e.bytes.resize(static_cast<std::size_t>(info.compressed_size));
        const int got = e.bytes.empty() ? 0
                                        : unzReadCurrentFile(zip, e.bytes.data(), static_cast<unsigned>(e.bytes.size()));
        unzCloseCurrentFile(zip);
        if (got != static_cast<int>(e.bytes.size())) break;
        entries.push_back(std::move(e));
    }
    unzClose(zip);
    return entries;
}

// The folder an entry belongs to for cutting: its name up to the second
// "/" ("quellon_data/models/"), the data folder itself for the files that lie
// directly in it ("quellon_data/"), or "" for the data folder's own entry,
// which every seed holds.
std::string group(const std::string& name) {
    const std::size_t first = name.find('/');
    if (first == std::string::npos || first + 1 == name.size()) return "";
    const std::size_t second = name.find('/', first + 1);
    return name.substr(0, (second == std::string::npos ? first : second) + 1);
}

bool cutArchive(const fs::path& demodat, const fs::path& out) {
    const std::vector<Entry> all = readArchive(demodat);
    if (all.empty()) {
        std::fprintf(stderr, "archive_seeds: %s cannot be read; only the hostile seeds are made\n", demodat.c_str());
        return true;
    }
    std::vector<Entry> top;
    std::map<std::string, std::vector<Entry>> groups;
    for (const Entry& e : all) {
        const std::string g = group(e.name);
        if (g.empty())
            top.push_back(e);
        else
            groups[g].push_back(e);
    }
    bool ok = true;
    for (const auto& [g, entries] : groups) {
        std::vector<Entry> seed = top;
        std::size_t used = 0;
        for (const Entry& e : seed) used += e.bytes.size() + e.name.size();
        for (const Entry& e : entries) {
            const std::size_t cost = e.bytes.size() + e.name.size();
            if (used + cost > kSeedBudget) continue;
            seed.push_back(e);
            used += cost;
        }
        std::string name = g.substr(0, g.size() - 1);
        for (char& c : name)
            if (c == '/') c = '.';
        ok = write(out / ("demodat." + name + ".zip"), seed) && ok;
    }
    return ok;
}

bool hostileArchives(const fs::path& out) {
    bool ok = true;
    const auto make = [&](const char* name, const std::vector<Entry>& entries) {
        ok = write(out / name, entries) && ok;
    };
    make("climbing.zip", {folder("quellon_data/"), plain("../up.txt", "up"),
                          plain("quellon_data/../../up.txt", "up"), plain("quellon_data/./../x/../../up.txt", "up"),
                          folder("../outside/"), plain("quellon_data/..b", "dots in a name"),
                          plain("quellon_data/kept.txt", "kept")});
    make("absolute.zip", {plain("/tmp/murmur-absolute.txt", "absolute"), plain("\\murmur-absolute.txt", "absolute"),
                          plain("//server/share.txt", "share"), plain("C:/drive.txt", "drive"),
                          plain("c:drive.txt", "drive"), plain("C:\\drive.txt", "drive"), plain("", "no name"),
                          plain("./", "dot"), plain("quellon_data/fine.txt", "fine")});
    make("backslashes.zip", {folder("quellon_data\\"), folder("quellon_data\\models\\"),
                             plain("quellon_data\\models\\fan.geo", "fan"), plain("quellon_data\\..\\..\\up.txt", "up"),
                             plain("quellon_data/..\\..\\up.txt", "up"), plain("quellon_data\\textures/mixed.png", "mixed"),
                             folder("quellon_data\\textures\\")});
    // Entries a Unix unpacker would make into links, and writes through
    // them.
    make("links.zip", {folder("quellon_data/"), plain("quellon_data/evil", "../../outside", 0120777),
                       plain("quellon_data/evil/victim.txt", "through the link"), folder("quellon_data/evil/"),
                       plain("quellon_data/evil/new.txt", "through the link"),
                       plain("quellon_data/abs", "/tmp", 0120777), plain("quellon_data/abs/x.txt", "x")});
    // Names that lead through the links the target plants.
    make("planted.zip", {folder("quellon_data/"), folder("quellon_data/models/"),
                         deflated("quellon_data/models/fan.geo", std::string(4000, 'f')),
                         folder("quellon_data/models/sub/"), plain("quellon_data/link.txt", "through the link"),
                         plain("quellon_data/dangling.txt", "through the link"), folder("escape/"),
                         plain("escape/outside/victim.txt", "through the link"), plain("escape/x.txt", "x"),
                         folder("escape/new/")});
    make("clashes.zip", {folder("quellon_data/"), plain("quellon_data/x", "a file"), folder("quellon_data/x/"),
                         plain("quellon_data/x/y", "below a file"), folder("quellon_data/d/"),
                         plain("quellon_data/d", "a file over a folder"), plain("quellon_data/twice", "first"),
                         plain("quellon_data/twice", "second"), plain("late/file.txt", "before its folder"),
                         folder("late/"), plain("quellon_data/" + std::string(300, 'n'), "long name")});
    // Damaged entries: a stored copy that fails its CRC, an entry claiming
    // more than it holds, a deflate stream that is not one.
    Entry badCrc = plain("quellon_data/crc.txt", "the bytes as they were packed");
    badCrc.crc ^= 1;
    Entry shortEntry = plain("quellon_data/short.txt", "shorter");
    shortEntry.size = 4000;
    Entry garbage = plain("quellon_data/garbage.txt", std::string(64, '\xff'));
    garbage.method = Z_DEFLATED;
    garbage.size = 100;
    make("damaged.zip", {folder("quellon_data/"), badCrc, shortEntry, garbage, deflated("quellon_data/after.txt",
                                                                                        "after the damage")});
    if (ok) {
        // A cut archive: the central directory is gone.
        std::ifstream in(out / "planted.zip", std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(out / "cut.zip", std::ios::binary) << whole.substr(0, whole.size() / 2);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: archive_seeds DEMODAT OUT\n");
        return 2;
    }
    const fs::path out = argv[2];
    std::error_code error;
    fs::create_directories(out, error);
    if (error) {
        std::fprintf(stderr, "archive_seeds: %s: %s\n", out.c_str(), error.message().c_str());
        return 1;
    }
    bool ok = true;
    if (fs::exists(argv[1])) ok = cutArchive(argv[1], out);
    else std::fprintf(stderr, "archive_seeds: %s: no such file; only the hostile seeds are made\n", argv[1]);
    ok = hostileArchives(out) && ok;
    return ok ? 0 : 1;
}
